// The remembered order: its rules, its storage in the registry, and keeping
// it through the main window's events. Registry tests use a scratch key under
// HKEY_CURRENT_USER\Software\CorvaneTests, removed before and after.
#include "program_fixture.h"
#include "engine/kept_order.h"
#include "engine/program.h"
#include "framework/reg_key.h"
#include <shlwapi.h>
#include <algorithm>

namespace {

using Strings = std::vector<std::string>;

class CScratchKey {
public:
    CScratchKey() { ::SHDeleteKeyA(HKEY_CURRENT_USER, kRoot); }
    ~CScratchKey() { ::SHDeleteKeyA(HKEY_CURRENT_USER, kRoot); }
    CScratchKey(const CScratchKey&) = delete;
    CScratchKey& operator=(const CScratchKey&) = delete;

    static COrderStore Store() { return COrderStore(HKEY_CURRENT_USER, kSettings, kRun); }
    static bool Exists(LPCSTR key)
    {
        CRegKey opened;
        return opened.Open(HKEY_CURRENT_USER, key) == ERROR_SUCCESS;
    }
    static void Set(LPCSTR key, LPCSTR name, DWORD type, const std::string& bytes)
    {
        CRegKey created;
        ASSERT_EQ(created.Create(HKEY_CURRENT_USER, key), ERROR_SUCCESS);
        ASSERT_EQ(created.SetValue(name, type, bytes.data(), static_cast<DWORD>(bytes.size())), ERROR_SUCCESS);
    }
    // The value's bytes (empty when missing) and its type.
    static std::string Get(LPCSTR key, LPCSTR name, DWORD* type = nullptr)
    {
        CRegKey opened;
        DWORD stored = REG_NONE;
        std::vector<BYTE> data;
        if (opened.Open(HKEY_CURRENT_USER, key) != ERROR_SUCCESS || opened.QueryValue(name, stored, data, 1 << 20))
            return {};
        if (type)
            *type = stored;
        return std::string(data.begin(), data.end());
    }

    static constexpr char kRoot[] = "Software\\CorvaneTests";
    static constexpr char kSettings[] = "Software\\CorvaneTests\\Corvane";
    static constexpr char kRun[] = "Software\\CorvaneTests\\Run";
};

std::string Nul(const std::string& text)
{
    return text + '\0';
}

}  // namespace

TEST(ProgramOrder, FollowsTheListAndKeepsProgramsWithoutWindowsBehindTheirPredecessors)
{
    CProgramOrder order({"X", "A", "Y", "Z", "B", "W", "a"});
    EXPECT_EQ(order.GetPrograms(), (Strings{"X", "A", "Y", "Z", "B", "W"})) << "once each, case ignored";
    // B before A now; X was first, Y and Z followed A, W followed B.
    EXPECT_TRUE(order.Follow({"b", "B", "A"}));
    EXPECT_EQ(order.GetPrograms(), (Strings{"X", "B", "W", "A", "Y", "Z"}));
    EXPECT_FALSE(order.Follow({"B", "A", "B"})) << "only first entries count";
    EXPECT_TRUE(order.Follow({"N", "B", "A"}));
    EXPECT_EQ(order.GetPrograms(), (Strings{"X", "N", "B", "W", "A", "Y", "Z"}));
    // A new window's place: entries of programs it does not know are passed over.
    EXPECT_EQ(order.PlaceFor("W", {"B", "U", "A"}), 2u);
}

TEST(ProgramOrder, StaysBoundedDroppingGoneProgramsThenClassesThenTheLowestButNeverAListedOne)
{
    // 256 remembered: two class entries, three executables that are gone.
    Strings programs;
    for (int i = 0; i < 256; ++i)
        programs.push_back(i == 100 || i == 200 ? "class:K" + std::to_string(i) : "C:\\p" + std::to_string(i) + ".exe");
    const Strings gone{"C:\\p10.exe", "C:\\p250.exe", "C:\\P255.EXE"};
    Strings asked;
    const auto exists = [&](const std::string& path) {
        asked.push_back(path);
        return std::find_if(gone.begin(), gone.end(), [&](const std::string& g) { return SameProgram(g, path); }) ==
               gone.end();
    };
    CProgramOrder order(programs);
    Strings listed{"C:\\p255.exe", "class:K200", "C:\\p254.exe"};
    const auto add = [&](const std::string& program) {
        order.Append(program);
        listed.push_back(program);
        return order.Bound(listed, exists);
    };
    const auto has = [&](const std::string& program) { return order.Find(program) >= 0; };

    EXPECT_FALSE(order.Bound(listed, exists)) << "256 fit";
    EXPECT_TRUE(add("C:\\new1.exe"));
    EXPECT_EQ(order.GetPrograms().size(), 256u);
    EXPECT_FALSE(has("C:\\p250.exe")) << "the lowest gone one";
    EXPECT_TRUE(has("C:\\p10.exe") && has("C:\\p255.exe")) << "one was enough; a listed one stays";
    EXPECT_EQ(asked, (Strings{"C:\\p253.exe", "C:\\p252.exe", "C:\\p251.exe", "C:\\p250.exe"}))
        << "looked for from the lowest up until there was room, never a listed or class one";

    add("C:\\new2.exe");
    add("C:\\new3.exe");
    EXPECT_FALSE(has("C:\\p10.exe")) << "the last gone one";
    EXPECT_FALSE(has("class:K100")) << "then a class, not the listed one";
    EXPECT_TRUE(has("class:K200"));
    add("C:\\new4.exe");
    EXPECT_FALSE(has("C:\\p253.exe")) << "then the lowest without a window";
    EXPECT_TRUE(has("C:\\p252.exe") && has("C:\\p254.exe") && has("C:\\new4.exe"));
    EXPECT_EQ(order.GetPrograms().size(), 256u);
    EXPECT_EQ(order.GetPrograms().front(), "C:\\p0.exe");

    // Never below what has a window, even above the bound.
    CProgramOrder full(programs);
    full.Append("C:\\new.exe");
    Strings all = programs;
    all.push_back("C:\\new.exe");
    EXPECT_FALSE(full.Bound(all, exists));
    EXPECT_EQ(full.GetPrograms().size(), 257u);
}

TEST(OrderStore, ReadingCreatesNothingAndWhatIsWrittenReadsBack)
{
    const CScratchKey scratch;
    const COrderStore store = CScratchKey::Store();
    EXPECT_FALSE(store.ReadKeepOrder());
    EXPECT_TRUE(store.ReadOrder().empty());
    EXPECT_FALSE(store.IsStartedAtLogon("C:\\corvane.exe"));
    EXPECT_TRUE(store.RemoveStartAtLogon());
    EXPECT_FALSE(CScratchKey::Exists(CScratchKey::kSettings));
    EXPECT_FALSE(CScratchKey::Exists(CScratchKey::kRun));

    ASSERT_TRUE(store.WriteKeepOrder(true));
    DWORD type = REG_NONE;
    EXPECT_EQ(CScratchKey::Get(CScratchKey::kSettings, "KeepOrder", &type), std::string("\1\0\0\0", 4));
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_TRUE(store.ReadKeepOrder());
    const Strings programs{"C:\\\xD3\xCA\xBC\xFE\\mail.exe", "class:Notepad"};
    ASSERT_TRUE(store.WriteOrder(programs));
    EXPECT_EQ(CScratchKey::Get(CScratchKey::kSettings, "Order", &type), Nul(Nul(programs[0]) + Nul(programs[1])));
    EXPECT_EQ(type, static_cast<DWORD>(REG_MULTI_SZ));
    EXPECT_EQ(store.ReadOrder(), programs);
    ASSERT_TRUE(store.WriteKeepOrder(false));
    EXPECT_FALSE(store.ReadKeepOrder());
    EXPECT_EQ(store.ReadOrder(), programs);
}

TEST(OrderStore, BadValuesReadAsNothingAndAreWrittenAfresh)
{
    const CScratchKey scratch;
    const COrderStore store = CScratchKey::Store();
    const std::string a = "C:\\a.exe";
    const std::string x64k(COrderStore::kMaxOrderBytes - 2, 'x');
    const struct {
        DWORD type;
        std::string bytes;
        const char* what;
    } orders[] = {
        {REG_SZ, Nul(a), "another type"},
        {REG_SZ, Nul(Nul(a)), "a well-formed list as REG_SZ"},
        {REG_BINARY, Nul(Nul(a)), "a well-formed list as REG_BINARY"},
        {REG_MULTI_SZ, a, "no NUL at all"},
        {REG_MULTI_SZ, Nul(a), "no NUL after the last string"},
        {REG_MULTI_SZ, std::string(64, '\0'), "full of empty strings"},
        {REG_MULTI_SZ, Nul(Nul(a)) + Nul(Nul(a)), "an empty string before the end"},
        {REG_MULTI_SZ, Nul(Nul(x64k + 'x')), "over 64 KB"},
    };
    for (const auto& value : orders) {
        CScratchKey::Set(CScratchKey::kSettings, "Order", value.type, value.bytes);
        EXPECT_TRUE(store.ReadOrder().empty()) << value.what;
    }
    CScratchKey::Set(CScratchKey::kSettings, "Order", REG_MULTI_SZ, Nul(Nul(x64k)));
    EXPECT_EQ(store.ReadOrder(), Strings{x64k}) << "64 KB exactly";
    ASSERT_TRUE(store.WriteOrder({a}));
    EXPECT_EQ(store.ReadOrder(), Strings{a});

    for (const auto& [type, bytes] : {std::pair<DWORD, std::string>{REG_SZ, Nul("1")}, {REG_BINARY, "\1\0\0\0"},
                                      {REG_DWORD, std::string("\2\0\0\0", 4)}, {REG_DWORD, "\1"}}) {
        CScratchKey::Set(CScratchKey::kSettings, "KeepOrder", type, bytes);
        EXPECT_FALSE(store.ReadKeepOrder()) << "type " << type << ", " << bytes.size() << " bytes";
    }

    // What cannot be read back is not written: the order is cut where it would.
    Strings many;
    for (int i = 0; i < 300; ++i)
        many.push_back("C:\\" + std::string(240, 'p') + std::to_string(i) + ".exe");
    ASSERT_TRUE(store.WriteOrder(many));
    const Strings read = store.ReadOrder();
    ASSERT_FALSE(read.empty());
    EXPECT_EQ(read, Strings(many.begin(), many.begin() + static_cast<std::ptrdiff_t>(read.size())));
    EXPECT_LT(read.size(), many.size());
}

TEST(OrderStore, AListThatJustFitsIsWrittenWholeAndOneByteMoreLosesItsLastProgram)
{
    const CScratchKey scratch;
    const COrderStore store = CScratchKey::Store();
    const std::string last = "C:\\b.exe";
    // Each program with its NUL, and the list's own NUL: 64 KB exactly.
    const std::string first(COrderStore::kMaxOrderBytes - (last.size() + 1) - 2, 'a');
    // Compared by their lengths, which tell these programs apart, so that a
    // failure does not print 64 KB.
    const auto lengths = [](const Strings& programs) {
        std::vector<size_t> sizes;
        for (const std::string& program : programs)
            sizes.push_back(program.size());
        return sizes;
    };
    ASSERT_TRUE(store.WriteOrder({first, last}));
    EXPECT_EQ(CScratchKey::Get(CScratchKey::kSettings, "Order").size(), COrderStore::kMaxOrderBytes);
    EXPECT_EQ(lengths(store.ReadOrder()), lengths({first, last}));
    EXPECT_EQ(store.ReadOrder().back(), last);

    ASSERT_TRUE(store.WriteOrder({first + 'a', last}));
    EXPECT_EQ(lengths(store.ReadOrder()), lengths({first + 'a'}));
}

TEST(OrderStore, StartAtLogonIsTheQuotedPathWithTheTrayOption)
{
    const CScratchKey scratch;
    const COrderStore store = CScratchKey::Store();
    CScratchKey::Set(CScratchKey::kRun, "Other", REG_SZ, Nul("other.exe"));
    ASSERT_TRUE(store.SetStartAtLogon("C:\\Tools\\corvane.exe"));
    DWORD type = REG_NONE;
    EXPECT_EQ(CScratchKey::Get(CScratchKey::kRun, "Corvane", &type), Nul("\"C:\\Tools\\corvane.exe\" /tray"));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_TRUE(store.IsStartedAtLogon("c:\\TOOLS\\Corvane.EXE"));
    EXPECT_FALSE(store.IsStartedAtLogon("D:\\corvane.exe"));
    CScratchKey::Set(CScratchKey::kRun, "Corvane", REG_SZ, Nul("\"C:\\Tools\\corvane.exe\""));
    EXPECT_FALSE(store.IsStartedAtLogon("C:\\Tools\\corvane.exe")) << "without /tray";

    EXPECT_TRUE(store.RemoveStartAtLogon());
    EXPECT_EQ(CScratchKey::Get(CScratchKey::kRun, "Corvane"), "");
    EXPECT_EQ(CScratchKey::Get(CScratchKey::kRun, "Other"), Nul("other.exe"));
}

class KeptOrder : public ProgramsTest {
protected:
    // The stored order without the programs of others' windows, if any.
    Strings Stored() const
    {
        Strings ours;
        for (const std::string& program : CScratchKey::Store().ReadOrder()) {
            if (program.rfind("D:\\", 0) == 0 || SameProgram(program, pathA) || SameProgram(program, pathB) ||
                SameProgram(program, pathC))
                ours.push_back(program);
        }
        return ours;
    }

    CScratchKey m_scratch;
};

TEST_F(KeptOrder, WhileOffNothingIsWrittenAndNothingWatched)
{
    const HWND c1 = AddWindow("C1");
    Show({c1, m_a[0]});
    CKeptOrder kept(m_engine, CScratchKey::Store());
    EXPECT_FALSE(kept.Resume());
    const HWND c2 = Open("C2");
    kept.Watch();
    m_engine.MoveButton(Count() - 1, 0);
    kept.Remember();
    EXPECT_EQ(Only(Entries(), {c2}), std::vector<HWND>{});
    EXPECT_FALSE(CScratchKey::Exists(CScratchKey::kSettings));
}

TEST_F(KeptOrder, TurningOnArrangesTheTaskbarAndRemembersTheListMergedWithWhatWasStored)
{
    const HWND c1 = AddWindow("C1");
    Show({m_a[0], c1, m_a[1], m_b[0]});
    // Remembered before: D after C, E first of all.
    CScratchKey::Store().WriteOrder({"D:\\e.exe", pathC, "D:\\d.exe", pathA});
    CKeptOrder kept(m_engine, CScratchKey::Store());
    kept.TurnOn();
    EXPECT_TRUE(CScratchKey::Store().ReadKeepOrder());
    EXPECT_EQ(m_shell.Calls(), Arranged(Entries()));
    EXPECT_EQ(Stored(), (Strings{"D:\\e.exe", pathA, pathC, "D:\\d.exe", pathB}));

    // Only a move that changes the programs' order is written.
    CScratchKey::Store().WriteOrder({"D:\\sentinel.exe"});
    m_engine.MoveButton(Count() - 2, Count() - 3);  // A2 above C1
    kept.Remember();
    EXPECT_EQ(Stored(), Strings{"D:\\sentinel.exe"});
    m_engine.MoveButton(Count() - 1, 0);  // B first
    kept.Remember();
    EXPECT_EQ(Stored(), (Strings{"D:\\e.exe", pathB, pathA, pathC, "D:\\d.exe"}));

    kept.TurnOff();
    EXPECT_FALSE(CScratchKey::Store().ReadKeepOrder());
    EXPECT_EQ(Stored(), (Strings{"D:\\e.exe", pathB, pathA, pathC, "D:\\d.exe"})) << "left as it was";
}

TEST_F(KeptOrder, ResumingArrangesByTheStoredOrderAndWatchingWritesNewPrograms)
{
    const HWND c1 = AddWindow("C1"), c2 = AddWindow("C2");
    Show({m_a[0], c1, m_b[0], m_a[1], c2});
    CScratchKey::Store().WriteKeepOrder(true);
    CScratchKey::Store().WriteOrder({pathC, "D:\\gone.exe", pathA});
    CKeptOrder kept(m_engine, CScratchKey::Store());
    ASSERT_TRUE(kept.Resume());
    // Known programs first in their order, the rest after them as they were.
    EXPECT_EQ(Listed(), (std::vector<HWND>{c1, c2, m_a[0], m_a[1], m_b[0]}));
    EXPECT_EQ(Entries().front(), c1);
    EXPECT_EQ(m_shell.Calls(), Arranged(Entries()));
    EXPECT_EQ(Stored(), (Strings{pathC, "D:\\gone.exe", pathA, pathB}));

    // The watch's first look, with nothing new: the arrangement is behind it.
    kept.Watch();
    CSampleProgram d;
    ASSERT_TRUE(d.Start("corvane_third.exe", 1, "D"));
    m_shell.SetButtons(Concat({m_shell.Buttons(), {d[0]}}));
    m_shell.ClearCalls();
    kept.Watch();
    EXPECT_EQ(Entries().back(), d[0]);
    EXPECT_TRUE(m_shell.Calls().empty());
    EXPECT_TRUE(SameProgram(CScratchKey::Store().ReadOrder().back(), d.Path()));
}

TEST_F(KeptOrder, AStoredOrderOf256ProgramsMakesRoomForNewOnesWithGoneExecutablesFirst)
{
    Show({m_a[0], m_b[0]});
    // The lowest remembered program exists and has no window; the 255 above it are gone.
    char windows[MAX_PATH] = {};
    ::GetWindowsDirectoryA(windows, MAX_PATH);
    const std::string existing = std::string(windows) + "\\notepad.exe";
    Strings stored;
    for (int i = 0; i < 255; ++i)
        stored.push_back("C:\\corvane-gone\\p" + std::to_string(i) + ".exe");
    stored.push_back(existing);
    CScratchKey::Store().WriteKeepOrder(true);
    CScratchKey::Store().WriteOrder(stored);
    CKeptOrder kept(m_engine, CScratchKey::Store());
    ASSERT_TRUE(kept.Resume());

    const Strings now = CScratchKey::Store().ReadOrder();
    EXPECT_EQ(now.size(), CProgramOrder::kMaxPrograms);
    // The gone ones that stay are the highest; the existing one stays below them.
    const auto firstOther = std::find_if(now.begin(), now.end(), [](const std::string& program) {
        return program.rfind("C:\\corvane-gone\\", 0) != 0;
    });
    const auto goneKept = static_cast<size_t>(firstOther - now.begin());
    EXPECT_LE(goneKept, 253u);
    EXPECT_EQ(Strings(now.begin(), firstOther), Strings(stored.begin(), stored.begin() + static_cast<std::ptrdiff_t>(goneKept)));
    ASSERT_NE(firstOther, now.end());
    EXPECT_EQ(*firstOther, existing);
    EXPECT_EQ(Strings(now.end() - 2, now.end()), (Strings{pathA, pathB}));
}
