// The remembered order: its rules, its storage in the registry, and keeping
// it through the main window's events. Registry tests use a scratch key under
// HKEY_CURRENT_USER\Software\CorvaneTests, removed before and after.
#include "program_fixture.h"
#include "engine/kept_order.h"
#include "engine/program.h"
#include "framework/reg_key.h"
#include <shlwapi.h>

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
