// The remembered order: its rules, its storage in the registry, and keeping
// it from the main window's events. Registry tests use a scratch key of
// their own under HKEY_CURRENT_USER\Software\CorvaneTests, removed after.
#include "engine_fixture.h"
#include "engine/kept_order.h"
#include "engine/program.h"
#include "framework/reg_key.h"
#include "sample_program.h"
#include <shlwapi.h>
#include <algorithm>

namespace {

class CScratchKey {
public:
    CScratchKey()
    {
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        m_path = std::string("Software\\CorvaneTests\\") + test->test_suite_name() + "." + test->name();
        Remove();
    }
    ~CScratchKey() { Remove(); }
    CScratchKey(const CScratchKey&) = delete;
    CScratchKey& operator=(const CScratchKey&) = delete;

    std::string Settings() const { return m_path + "\\Corvane"; }
    std::string Run() const { return m_path + "\\Run"; }
    COrderStore Store() const { return COrderStore(HKEY_CURRENT_USER, Settings(), Run()); }

    static bool Exists(const std::string& key)
    {
        CRegKey opened;
        return opened.Open(HKEY_CURRENT_USER, key.c_str()) == ERROR_SUCCESS;
    }
    static void Set(const std::string& key, LPCSTR name, DWORD type, const std::string& bytes)
    {
        CRegKey created;
        ASSERT_EQ(created.Create(HKEY_CURRENT_USER, key.c_str()), ERROR_SUCCESS);
        ASSERT_EQ(created.SetValue(name, type, bytes.data(), static_cast<DWORD>(bytes.size())), ERROR_SUCCESS);
    }
    // The value's bytes, and its type through `type`; empty when missing.
    static std::string Get(const std::string& key, LPCSTR name, DWORD* type = nullptr)
    {
        CRegKey opened;
        DWORD stored = REG_NONE;
        std::vector<BYTE> data;
        if (opened.Open(HKEY_CURRENT_USER, key.c_str()) != ERROR_SUCCESS ||
            opened.QueryValue(name, stored, data, 1 << 20) != ERROR_SUCCESS)
            return {};
        if (type)
            *type = stored;
        return std::string(data.begin(), data.end());
    }

private:
    void Remove() const
    {
        ::SHDeleteKeyA(HKEY_CURRENT_USER, m_path.c_str());
        // The parent goes once no other test's key is left in it.
        ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\CorvaneTests");
    }

    std::string m_path;
};

std::string Dword(DWORD value)
{
    return std::string(reinterpret_cast<const char*>(&value), sizeof value);
}

// A well-formed REG_MULTI_SZ of one string, `size` bytes in all.
std::string OneStringOf(size_t size)
{
    return std::string(size - 2, 'x') + '\0' + '\0';
}

using Strings = std::vector<std::string>;

}  // namespace

// ------------------------------------------------------------- the rules

TEST(ProgramOrder, HoldsEachProgramOnceWhateverItsCase)
{
    CProgramOrder order({"C:\\Mail.exe", "C:\\Edit.exe", "c:\\MAIL.EXE"});
    EXPECT_EQ(order.GetPrograms(), (Strings{"C:\\Mail.exe", "C:\\Edit.exe"}));
    EXPECT_EQ(order.Find("C:\\EDIT.exe"), 1);
    EXPECT_FALSE(order.Append("c:\\edit.EXE"));
    EXPECT_TRUE(order.Append("C:\\New.exe"));
    EXPECT_EQ(order.Find("C:\\New.exe"), 2);
}

TEST(ProgramOrder, FollowingTheListKeepsProgramsWithoutWindowsBehindTheirPredecessors)
{
    CProgramOrder order({"X", "A", "Y", "Z", "B", "W"});
    // B before A now; X was first, Y and Z followed A, W followed B.
    EXPECT_TRUE(order.Follow({"B", "B", "A"}));
    EXPECT_EQ(order.GetPrograms(), (Strings{"X", "B", "W", "A", "Y", "Z"}));
    EXPECT_FALSE(order.Follow({"B", "A", "B"})) << "the first entries decide";
    // A program listed for the first time comes in at its first entry.
    EXPECT_TRUE(order.Follow({"N", "B", "A"}));
    EXPECT_EQ(order.GetPrograms(), (Strings{"X", "N", "B", "W", "A", "Y", "Z"}));
    EXPECT_FALSE(order.Follow({}));
}

TEST(ProgramOrder, ANewWindowsPlaceIgnoresEntriesOfUnknownPrograms)
{
    const CProgramOrder order({"A", "C", "B"});
    // After the last entry of its own program, wherever that stands.
    EXPECT_EQ(order.PlaceFor("c", {"A", "C", "B", "C", "B"}), 4u);
    // Before the first entry of a program remembered after it: U is unknown.
    EXPECT_EQ(order.PlaceFor("C", {"A", "U", "A", "U", "B"}), 4u);
    EXPECT_EQ(order.PlaceFor("C", {"U", "A"}), 2u);
    EXPECT_EQ(order.PlaceFor("New", {"A", "B"}), 2u);
}

// ------------------------------------------------------------- the storage

TEST(OrderStore, ReadingCreatesNothingAndWhatIsWrittenReadsBack)
{
    const CScratchKey scratch;
    const COrderStore store = scratch.Store();
    EXPECT_FALSE(store.ReadKeepOrder());
    EXPECT_TRUE(store.ReadOrder().empty());
    EXPECT_FALSE(store.IsStartedAtLogon("C:\\corvane.exe"));
    EXPECT_TRUE(store.RemoveStartAtLogon());
    EXPECT_FALSE(CScratchKey::Exists(scratch.Settings()));
    EXPECT_FALSE(CScratchKey::Exists(scratch.Run()));

    ASSERT_TRUE(store.WriteKeepOrder(true));
    EXPECT_TRUE(store.ReadKeepOrder());
    DWORD type = REG_NONE;
    EXPECT_EQ(CScratchKey::Get(scratch.Settings(), "KeepOrder", &type), Dword(1));
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));

    const Strings programs{"C:\\\xD3\xCA\xBC\xFE\\mail.exe", "class:Notepad"};
    ASSERT_TRUE(store.WriteOrder(programs));
    EXPECT_EQ(store.ReadOrder(), programs);
    EXPECT_EQ(CScratchKey::Get(scratch.Settings(), "Order", &type), programs[0] + '\0' + programs[1] + '\0' + '\0');
    EXPECT_EQ(type, static_cast<DWORD>(REG_MULTI_SZ));

    ASSERT_TRUE(store.WriteKeepOrder(false));
    EXPECT_FALSE(store.ReadKeepOrder());
    EXPECT_EQ(store.ReadOrder(), programs);
}

TEST(OrderStore, BadOrderValuesReadAsEmptyAndAreWrittenAfresh)
{
    const CScratchKey scratch;
    const COrderStore store = scratch.Store();
    const std::string a = "C:\\a.exe";
    const struct {
        DWORD type;
        std::string bytes;
        const char* what;
    } bad[] = {
        {REG_SZ, a + '\0', "another type"},
        {REG_BINARY, a + '\0' + '\0', "another type"},
        {REG_MULTI_SZ, a, "no NUL at all"},
        {REG_MULTI_SZ, a + '\0', "no NUL after the last string"},
        {REG_MULTI_SZ, std::string(64, '\0'), "full of empty strings"},
        {REG_MULTI_SZ, a + '\0' + '\0' + a + '\0' + '\0', "an empty string before the end"},
        {REG_MULTI_SZ, OneStringOf(COrderStore::kMaxOrderBytes + 1), "over 64 KB"},
    };
    for (const auto& value : bad) {
        CScratchKey::Set(scratch.Settings(), "Order", value.type, value.bytes);
        EXPECT_TRUE(store.ReadOrder().empty()) << value.what;
    }
    CScratchKey::Set(scratch.Settings(), "Order", REG_MULTI_SZ, OneStringOf(COrderStore::kMaxOrderBytes));
    EXPECT_EQ(store.ReadOrder().size(), 1u) << "64 KB exactly";

    ASSERT_TRUE(store.WriteOrder({a}));
    EXPECT_EQ(store.ReadOrder(), Strings{a});
}

TEST(OrderStore, KeepOrderIsOnOnlyForADwordOfOne)
{
    const CScratchKey scratch;
    const COrderStore store = scratch.Store();
    const struct {
        DWORD type;
        std::string bytes;
    } off[] = {{REG_SZ, std::string("1") + '\0'}, {REG_BINARY, Dword(1)}, {REG_DWORD, Dword(2)},
               {REG_QWORD, Dword(1) + Dword(0)}, {REG_DWORD, "\x01"}};
    for (const auto& value : off) {
        CScratchKey::Set(scratch.Settings(), "KeepOrder", value.type, value.bytes);
        EXPECT_FALSE(store.ReadKeepOrder()) << "type " << value.type << ", " << value.bytes.size() << " bytes";
    }
    CScratchKey::Set(scratch.Settings(), "KeepOrder", REG_DWORD, Dword(1));
    EXPECT_TRUE(store.ReadKeepOrder());
}

TEST(OrderStore, AnOrderTooLargeToReadBackIsWrittenUpToWhatFits)
{
    const CScratchKey scratch;
    const COrderStore store = scratch.Store();
    Strings programs;
    for (int i = 0; i < 300; ++i)
        programs.push_back("C:\\" + std::string(240, 'p') + std::to_string(i) + ".exe");
    ASSERT_TRUE(store.WriteOrder(programs));
    const Strings read = store.ReadOrder();
    ASSERT_FALSE(read.empty());
    EXPECT_LT(read.size(), programs.size());
    EXPECT_EQ(read, Strings(programs.begin(), programs.begin() + static_cast<std::ptrdiff_t>(read.size())));
    EXPECT_LE(CScratchKey::Get(scratch.Settings(), "Order").size(), COrderStore::kMaxOrderBytes);
}

TEST(OrderStore, StartAtLogonIsTheQuotedPathWithTheTrayOption)
{
    const CScratchKey scratch;
    const COrderStore store = scratch.Store();
    CScratchKey::Set(scratch.Run(), "Other", REG_SZ, std::string("other.exe") + '\0');
    const std::string exe = "C:\\Tools\\corvane.exe";

    ASSERT_TRUE(store.SetStartAtLogon(exe));
    DWORD type = REG_NONE;
    EXPECT_EQ(CScratchKey::Get(scratch.Run(), "Corvane", &type), "\"C:\\Tools\\corvane.exe\" /tray" + std::string(1, '\0'));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_TRUE(store.IsStartedAtLogon(exe));
    EXPECT_TRUE(store.IsStartedAtLogon("c:\\TOOLS\\Corvane.EXE"));
    EXPECT_FALSE(store.IsStartedAtLogon("D:\\corvane.exe"));
    CScratchKey::Set(scratch.Run(), "Corvane", REG_SZ, "\"C:\\Tools\\corvane.exe\"" + std::string(1, '\0'));
    EXPECT_FALSE(store.IsStartedAtLogon(exe)) << "without /tray";

    EXPECT_TRUE(store.RemoveStartAtLogon());
    EXPECT_EQ(CScratchKey::Get(scratch.Run(), "Corvane"), "");
    EXPECT_EQ(CScratchKey::Get(scratch.Run(), "Other"), std::string("other.exe") + '\0');
    EXPECT_TRUE(store.RemoveStartAtLogon());
}

// ------------------------------------------------------------- keeping it

// The sample program's two windows (program A) and this program's own (C).
class KeptOrder : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        ASSERT_TRUE(m_shell.IsReady());
        ASSERT_TRUE(m_a.Start("", 2, "A"));
        m_engine.Attach(&m_list);
        pathA = ProgramOfWindow(m_a[0]);
        char own[MAX_PATH] = {};
        pathC = std::string(own, ::GetModuleFileNameA(nullptr, own, MAX_PATH));
        c1 = AddWindow("C1");
        c2 = AddWindow("C2");
        // Task windows of others, if any, come first and stay first.
        Append(Others());
        m_others = Count();
    }
    std::vector<HWND> Others() const
    {
        std::vector<HWND> others;
        for (HWND hWnd : ForeignTaskWindows()) {
            if (std::find(m_a.Windows().begin(), m_a.Windows().end(), hWnd) == m_a.Windows().end())
                others.push_back(hWnd);
        }
        return others;
    }
    void Show(const std::vector<HWND>& windows)
    {
        Append(windows);
        m_shell.SetButtons(Entries());
    }
    Strings Stored() const { return m_scratch.Store().ReadOrder(); }
    // The stored order without the programs of others' windows.
    Strings StoredOurs() const
    {
        Strings ours;
        for (const std::string& program : Stored()) {
            if (SameProgram(program, pathA) || SameProgram(program, pathC) || program.rfind("D:\\", 0) == 0)
                ours.push_back(program);
        }
        return ours;
    }

    CScratchKey m_scratch;
    CFakeShell m_shell;
    CSampleProgram m_a;
    std::string pathA, pathC;
    HWND c1 = nullptr, c2 = nullptr;
    int m_others = 0;
};

TEST_F(KeptOrder, WhileOffNothingIsWrittenAndNothingWatched)
{
    Show({c1, m_a[0]});
    CKeptOrder kept(m_engine, m_scratch.Store());
    EXPECT_FALSE(kept.Resume());
    const HWND c3 = AddWindow("C3");
    kept.Watch();
    m_engine.MoveButton(Count() - 1, m_others);
    m_shell.ClearCalls();
    kept.Remember();
    EXPECT_EQ(Only(Entries(), {c3}), std::vector<HWND>{}) << "not watched";
    EXPECT_TRUE(m_shell.Calls().empty());
    EXPECT_FALSE(CScratchKey::Exists(m_scratch.Settings()));

    kept.TurnOn();
    kept.TurnOff();
    m_shell.ClearCalls();
    kept.Watch();
    EXPECT_TRUE(m_shell.Calls().empty());
    EXPECT_FALSE(m_scratch.Store().ReadKeepOrder());
}

TEST_F(KeptOrder, TurningOnArrangesTheTaskbarAndRemembersTheListMergedWithWhatWasStored)
{
    Show({m_a[0], c1, m_a[1]});
    // Remembered before: D between A and C, E before everything.
    m_scratch.Store().WriteOrder({"D:\\e.exe", pathC, "D:\\d.exe", pathA});
    CKeptOrder kept(m_engine, m_scratch.Store());
    kept.TurnOn();

    EXPECT_TRUE(kept.IsOn());
    EXPECT_TRUE(m_scratch.Store().ReadKeepOrder());
    EXPECT_EQ(m_shell.Calls().size(), 2u * static_cast<size_t>(Count()));
    EXPECT_EQ(m_shell.CallsOf(TaskbarOp::AddTab), Entries());
    EXPECT_EQ(StoredOurs(), (Strings{"D:\\e.exe", pathA, pathC, "D:\\d.exe"}));

    // The user's own move changes it; a move that leaves the programs'
    // order alone writes nothing.
    m_scratch.Store().WriteOrder({"sentinel"});
    m_engine.MoveButton(m_others + 2, m_others + 1);  // A2 above C1
    kept.Remember();
    EXPECT_EQ(Stored(), (Strings{"sentinel"}));
    m_engine.MoveButton(m_others + 2, m_others);  // C1 first
    kept.Remember();
    EXPECT_EQ(StoredOurs(), (Strings{"D:\\e.exe", pathC, "D:\\d.exe", pathA}));

    kept.TurnOff();
    EXPECT_FALSE(m_scratch.Store().ReadKeepOrder());
    EXPECT_EQ(StoredOurs(), (Strings{"D:\\e.exe", pathC, "D:\\d.exe", pathA})) << "left as it was";
}

TEST_F(KeptOrder, ResumingArrangesByTheStoredOrderAndWatchingWritesNewPrograms)
{
    Show({m_a[0], c1, m_a[1], c2});
    m_scratch.Store().WriteKeepOrder(true);
    m_scratch.Store().WriteOrder({pathC, pathA});
    CKeptOrder kept(m_engine, m_scratch.Store());
    ASSERT_TRUE(kept.Resume());

    const std::vector<HWND> entries = Entries();
    EXPECT_EQ(std::vector<HWND>(entries.begin(), entries.begin() + 4), (std::vector<HWND>{c1, c2, m_a[0], m_a[1]}))
        << "known programs first, the rest after them";
    EXPECT_EQ(m_shell.Buttons(), Entries());
    EXPECT_EQ(m_shell.Calls().size(), 2u * static_cast<size_t>(Count()));

    // A program never seen: stays at the end, and the order is written.
    CSampleProgram b;
    ASSERT_TRUE(b.Start("corvane_other.exe", 1, "B"));
    m_shell.SetButtons(Concat({m_shell.Buttons(), {b[0]}}));
    m_shell.ClearCalls();
    kept.Watch();
    EXPECT_EQ(Entries().back(), b[0]);
    EXPECT_TRUE(m_shell.Calls().empty());
    EXPECT_TRUE(SameProgram(Stored().back(), b.Path()));
}
