// The information record as the host reads it: its bytes, its blocks and
// their heap, the version it reports, and its release.
#include "../../tools/probes/HeapProbe.h"
#include "PluginTest.h"
#include "Recorders.h"

#include <cstring>
#include <set>

namespace {

// Read from the raw record at a byte offset, as the host does.
template <typename T>
T At(const void* record, size_t offset) {
    T value;
    std::memcpy(&value, static_cast<const unsigned char*>(record) + offset, sizeof value);
    return value;
}

const char* StringAt(const void* record, size_t offset) { return At<const char*>(record, offset); }

// The eight blocks of a record, in the order of its layout.
std::vector<const void*> Blocks(const void* record) {
    const void* commands = At<const void*>(record, 24);
    return {record,
            StringAt(record, 2),
            StringAt(record, 6),
            commands,
            StringAt(commands, 0),
            StringAt(commands, 4),
            StringAt(commands, 32),
            StringAt(commands, 36)};
}

const char CaptionCp932[] = "\x83\x5E\x83\x43\x83\x67\x83\x8B\x82\xF0\x95\xCF\x8D\x58(&T)";

class PluginInfoTest : public PluginTest {
protected:
    std::string DllPath() const { return ProgramDirectory() + "NuperoForTTB.dll"; }
};

TEST_F(PluginInfoTest, ExportsExactlyTheSixEntryPoints) {
    const ExportList exports = ListExports(plugin.module);
    const std::set<std::string> found(exports.names.begin(), exports.names.end());
    EXPECT_EQ(found, (std::set<std::string>{"TTBEvent_Init", "TTBEvent_Unload", "TTBEvent_Execute",
                                            "TTBEvent_WindowsHook", "TTBEvent_InitPluginInfo",
                                            "TTBEvent_FreePluginInfo"}));
    EXPECT_EQ(exports.functionCount, 6u);
    EXPECT_EQ(exports.library, "NuperoForTTB.dll");
}

TEST_F(PluginInfoTest, RecordHoldsEveryFieldAtItsOffset) {
    const std::string path = DllPath();
    PluginInfo* info = plugin.InitPluginInfo(path.c_str());
    ASSERT_NE(info, nullptr);

    EXPECT_EQ(At<uint16_t>(info, 0), 0);
    EXPECT_STREQ(StringAt(info, 2), "Nupero for TTBase");
    EXPECT_STREQ(StringAt(info, 6), path.c_str());
    EXPECT_NE(StringAt(info, 6), path.c_str()) << "a copy, not the host's buffer";
    EXPECT_EQ(At<uint16_t>(info, 10), 0);
    EXPECT_EQ(At<uint32_t>(info, 12), 0x10002u);
    EXPECT_EQ(At<uint32_t>(info, 16), 0x10009u);
    EXPECT_EQ(At<int32_t>(info, 20), 2);

    const void* commands = At<const void*>(info, 24);
    const struct {
        const char* name;
        const char* caption;
        uint32_t values[6];  // CommandId and the five host values
    } expected[] = {
        {"Command1", "Nupero(&T)", {0, 0, 0xFFFFFFFF, 5, 0, 0}},
        {"Command2", CaptionCp932, {1, 0, 0xFFFFFFFF, 4, 0, 0}},
    };
    for (int i = 0; i < 2; ++i) {
        const void* entry = static_cast<const unsigned char*>(commands) + 32 * i;
        EXPECT_STREQ(StringAt(entry, 0), expected[i].name);
        EXPECT_STREQ(StringAt(entry, 4), expected[i].caption);
        for (int v = 0; v < 6; ++v)
            EXPECT_EQ(At<uint32_t>(entry, 8 + 4 * v), expected[i].values[v]);
    }
    EXPECT_EQ(std::strlen(CaptionCp932), 18u);
    plugin.FreePluginInfo(info);
}

TEST_F(PluginInfoTest, EveryBlockIsExactlyItsSizeInThePluginsOwnHeap) {
    PluginInfo* info = plugin.InitPluginInfo("C:\\Host\\Plugins\\NuperoForTTB.dll");
    ASSERT_NE(info, nullptr);
    const std::vector<const void*> blocks = Blocks(info);
    const SIZE_T sizes[] = {32, 18, 33, 64, 9, 11, 9, 19};

    HANDLE heap = OwningHeap(info);
    ASSERT_NE(heap, nullptr);
    EXPECT_NE(heap, GetProcessHeap());
    for (size_t i = 0; i < blocks.size(); ++i) {
        EXPECT_EQ(OwningHeap(blocks[i]), heap) << "block " << i;
        EXPECT_EQ(HeapSize(heap, 0, blocks[i]), sizes[i]) << "block " << i;
    }
    plugin.FreePluginInfo(info);
}

struct VersionCase {
    const char* what;
    std::string fileName;
    DWORD ms, ls;
};

TEST_F(PluginInfoTest, VersionComesFromTheNamedFile) {
    // Another versioned file reports its own version, read here independently.
    char system[MAX_PATH];
    GetSystemDirectoryA(system, MAX_PATH);
    const std::string other = std::string(system) + "\\user32.dll";
    DWORD handle = 0;
    std::vector<char> block(GetFileVersionInfoSizeA(other.c_str(), &handle));
    ASSERT_FALSE(block.empty());
    GetFileVersionInfoA(other.c_str(), handle, static_cast<DWORD>(block.size()), block.data());
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));

    const std::string unversioned = dir.Write("plain.dll", "not a program");
    const VersionCase cases[] = {
        {"own file", DllPath(), 0x10002, 0x10009},
        {"another file", other, fixed->dwFileVersionMS, fixed->dwFileVersionLS},
        {"missing file", dir.path() + "missing.dll", 0, 0},
        {"no version resource", unversioned, 0, 0},
        {"empty name", "", 0, 0},
    };
    for (const VersionCase& c : cases) {
        PluginInfo* info = plugin.InitPluginInfo(c.fileName.c_str());
        ASSERT_NE(info, nullptr) << c.what;
        EXPECT_EQ(At<uint32_t>(info, 12), c.ms) << c.what;
        EXPECT_EQ(At<uint32_t>(info, 16), c.ls) << c.what;
        // The rest of the record is complete whatever the version.
        EXPECT_STREQ(StringAt(info, 6), c.fileName.c_str()) << c.what;
        EXPECT_EQ(HeapSize(OwningHeap(info), 0, StringAt(info, 6)), c.fileName.size() + 1)
            << c.what;
        EXPECT_EQ(At<int32_t>(info, 20), 2) << c.what;
        EXPECT_STREQ(StringAt(At<const void*>(info, 24), 36), CaptionCp932) << c.what;
        plugin.FreePluginInfo(info);
    }
}

TEST_F(PluginInfoTest, NullNameIsTreatedAsEmptyAndNullRecordIsIgnored) {
    PluginInfo* info = plugin.InitPluginInfo(nullptr);
    ASSERT_NE(info, nullptr);
    EXPECT_STREQ(StringAt(info, 6), "");
    EXPECT_EQ(At<uint32_t>(info, 12), 0u);
    plugin.FreePluginInfo(info);
    plugin.FreePluginInfo(nullptr);
}

TEST_F(PluginInfoTest, RecordsShareNoBlockAndFreeingOneLeavesTheOtherWhole) {
    PluginInfo* first = plugin.InitPluginInfo("first.dll");
    PluginInfo* second = plugin.InitPluginInfo("second.dll");
    ASSERT_TRUE(first && second);
    const std::vector<const void*> a = Blocks(first), b = Blocks(second);
    std::set<const void*> all(a.begin(), a.end());
    all.insert(b.begin(), b.end());
    EXPECT_EQ(all.size(), 16u);

    HANDLE heap = OwningHeap(first);
    plugin.FreePluginInfo(first);
    const std::set<const void*> busy = BusyBlocks(heap);
    for (const void* block : a) EXPECT_EQ(busy.count(block), 0u);
    for (const void* block : b) EXPECT_EQ(busy.count(block), 1u);
    EXPECT_STREQ(StringAt(second, 6), "second.dll");
    EXPECT_STREQ(StringAt(At<const void*>(second, 24), 36), CaptionCp932);
    plugin.FreePluginInfo(second);
}

TEST_F(PluginInfoTest, BuildAndFreeCyclesLeaveTheHeapAsItWas) {
    plugin.FreePluginInfo(plugin.InitPluginInfo(DllPath().c_str()));  // creates the heap
    PluginInfo* probe = plugin.InitPluginInfo("probe");
    HANDLE heap = OwningHeap(probe);
    plugin.FreePluginInfo(probe);
    const size_t before = BusyBlocks(heap).size();
    for (int i = 0; i < 10000; ++i) plugin.FreePluginInfo(plugin.InitPluginInfo(DllPath().c_str()));
    EXPECT_EQ(BusyBlocks(heap).size(), before);
}

TEST_F(PluginInfoTest, RecordWithCountZeroKeepsItsEntryStrings) {
    PluginInfo* info = plugin.InitPluginInfo("zero.dll");
    ASSERT_NE(info, nullptr);
    const std::vector<const void*> blocks = Blocks(info);
    HANDLE heap = OwningHeap(info);
    int32_t zero = 0;
    std::memcpy(reinterpret_cast<unsigned char*>(info) + 20, &zero, 4);
    plugin.FreePluginInfo(info);

    const std::set<const void*> busy = BusyBlocks(heap);
    for (size_t i = 0; i < 4; ++i) EXPECT_EQ(busy.count(blocks[i]), 0u) << "block " << i;
    for (size_t i = 4; i < 8; ++i) EXPECT_EQ(busy.count(blocks[i]), 1u) << "block " << i;
    EXPECT_STREQ(static_cast<const char*>(blocks[7]), CaptionCp932);
}

TEST_F(PluginInfoTest, InitAfterInitPluginInfoReadsTheSettingsBesideItsOwnName) {
    TempDirectory other;
    other.Write("NuperoForTTB.ini", "[OPTION]\nStartMode=1\n");
    WriteSettings("[OPTION]\nStartMode=0\n");
    plugin.FreePluginInfo(plugin.InitPluginInfo((other.path() + "NuperoForTTB.dll").c_str()));
    plugin.Init(PluginPath().c_str(), 1);
    EXPECT_EQ(LastFlags(), 0);
}

TEST_F(PluginInfoTest, ExhaustedMemoryAnywhereReleasesWhatWasTakenAndReturnsNull) {
    const std::string path = DllPath();
    PluginInfo* probe = plugin.InitPluginInfo(path.c_str());
    HANDLE heap = OwningHeap(probe);
    plugin.FreePluginInfo(probe);
    HeapAllocFailure failure(plugin.module, 0);
    // The plugin's own copy of the name lives on the process heap: it is
    // counted with the same name in place before and after.
    auto restoreName = [&] {
        failure.FailAt(0);
        plugin.FreePluginInfo(plugin.InitPluginInfo(path.c_str()));
    };
    restoreName();
    const std::set<const void*> before = BusyBlocks(heap);
    const size_t processBefore = BusyBlocks(GetProcessHeap()).size();

    int allocations = 0;
    for (int failAt = 1;; ++failAt) {
        failure.FailAt(failAt);
        PluginInfo* info = plugin.InitPluginInfo(path.c_str());
        if (failure.Calls() < failAt) {  // every allocation has had its turn
            EXPECT_NE(info, nullptr);
            plugin.FreePluginInfo(info);
            break;
        }
        allocations = failAt;
        // The record's eight blocks, the copy of the name and the version
        // block: without any of them there is no true answer to give.
        EXPECT_EQ(info, nullptr) << "failing allocation " << failAt;
        if (info) plugin.FreePluginInfo(info);
        EXPECT_EQ(BusyBlocks(heap), before) << "failing allocation " << failAt;
        restoreName();
        EXPECT_EQ(BusyBlocks(GetProcessHeap()).size(), processBefore)
            << "failing allocation " << failAt;
    }
    EXPECT_EQ(allocations, 10) << "the eight blocks, the name's copy and the version block";
}

TEST(VersionResource, CarriesEveryValue) {
    const std::string path = ProgramDirectory() + "NuperoForTTB.dll";
    DWORD handle = 0;
    std::vector<char> block(
        GetFileVersionInfoSizeW(std::wstring(path.begin(), path.end()).c_str(), &handle));
    ASSERT_FALSE(block.empty());
    ASSERT_TRUE(GetFileVersionInfoW(std::wstring(path.begin(), path.end()).c_str(), handle,
                                    static_cast<DWORD>(block.size()), block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x10002u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x10009u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x10002u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x10009u);
    EXPECT_EQ(fixed->dwFileFlagsMask, 0x3Fu);
    EXPECT_EQ(fixed->dwFileFlags, 0u);
    EXPECT_EQ(fixed->dwFileOS, 4u);
    EXPECT_EQ(fixed->dwFileType, 2u);
    EXPECT_EQ(fixed->dwFileSubtype, 0u);
    EXPECT_EQ(fixed->dwFileDateMS, 0u);
    EXPECT_EQ(fixed->dwFileDateLS, 0u);

    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(translation[0], 0x0411);
    EXPECT_EQ(translation[1], 932);

    const std::wstring product = L"\u300CNupero\u300DTTBase\u7528\u30D7\u30E9\u30B0\u30A4\u30F3";
    const struct {
        const wchar_t* key;
        std::wstring value;
    } strings[] = {
        {L"FileDescription", product},
        {L"ProductName", product},
        {L"LegalTrademarks", product},
        {L"FileVersion", L"1.2.1.9"},
        {L"ProductVersion", L"V1"},
        {L"InternalName", L"NuperoForTTB.dll"},
        {L"OriginalFilename", L"NuperoForTTB.dll"},
        {L"Comments", L""},
    };
    for (const auto& s : strings) {
        wchar_t* value = nullptr;
        const std::wstring query = std::wstring(L"\\StringFileInfo\\041103A4\\") + s.key;
        ASSERT_TRUE(
            VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length))
            << "missing " << std::string(query.begin(), query.end());
        EXPECT_EQ(std::wstring(value), s.value);
    }
    for (const wchar_t* key : {L"CompanyName", L"LegalCopyright"}) {
        wchar_t* value = nullptr;
        const std::wstring query = std::wstring(L"\\StringFileInfo\\041103A4\\") + key;
        ASSERT_TRUE(
            VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length));
        EXPECT_NE(std::wstring(value).find(L"NuperoForTTB project"), std::wstring::npos);
    }
}

}  // namespace
