// The shipping i686 program checked as a file, whichever build the Wine
// suite runs on: a PE32 GUI program for i386 that, like its x86_64 twin,
// imports only known DLLs and carries the same resources, byte for byte.
// Neither build, nor medium-check of either, imports a call that reads or
// gives texts in the system's ANSI code page beyond a short list of the
// run-time libraries' own.
#include <ctype.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

struct ProgramImage {
    bool read = false;
    uint16_t machine = 0;
    uint16_t magic = 0;
    uint16_t subsystem = 0;
    std::vector<std::string> imports;
    std::vector<std::string> functions;     // "dll!name", ordinals left out
    // "type/name/language" -> data; a name is its number or its text.
    std::map<std::string, std::string> resources;
};

class ImageReader {
public:
    explicit ImageReader(const std::string &bytes) : bytes_(bytes) {}

    bool read(ProgramImage *image)
    {
        uint32_t pe = u32(0x3C);
        if (u16(0) != 0x5A4D || bytes_.compare(pe, 4, std::string("PE\0\0", 4)) != 0)
            return false;
        image->machine = u16(pe + 4);
        uint16_t sections = u16(pe + 6);
        uint16_t optional_size = u16(pe + 20);
        uint32_t optional = pe + 24;
        image->magic = u16(optional);
        image->subsystem = u16(optional + 68);
        uint32_t directories = optional + (image->magic == 0x20B ? 112 : 96);
        for (uint16_t i = 0; i < sections; i++) {
            uint32_t s = optional + optional_size + 40u * i;
            sections_.push_back({u32(s + 12), u32(s + 8), u32(s + 20)});
        }
        read_imports(offset_of(u32(directories + 8)), image);
        resource_base_ = offset_of(u32(directories + 16));
        if (resource_base_)
            read_resources(resource_base_, "", 0, image);
        return !broken_;
    }

private:
    struct Section {
        uint32_t address, size, offset;
    };

    uint32_t u16(uint32_t at)
    {
        if (at + 2 > bytes_.size())
            return broken_ = true, 0;
        return (uint8_t)bytes_[at] | (uint8_t)bytes_[at + 1] << 8;
    }
    uint32_t u32(uint32_t at) { return u16(at) | u16(at + 2) << 16; }

    uint32_t offset_of(uint32_t rva)
    {
        for (const Section &s : sections_)
            if (rva >= s.address && rva < s.address + s.size)
                return rva - s.address + s.offset;
        return 0;
    }

    void read_imports(uint32_t at, ProgramImage *image)
    {
        for (; at && u32(at + 12) != 0 && !broken_; at += 20) {
            uint32_t name = offset_of(u32(at + 12));
            if (name >= bytes_.size())
                return void(broken_ = true);
            image->imports.push_back(bytes_.c_str() + name);
            uint32_t lookup = u32(at) ? u32(at) : u32(at + 16);
            read_functions(offset_of(lookup), image->imports.back(), image);
        }
    }

    void read_functions(uint32_t at, std::string dll, ProgramImage *image)
    {
        for (char &c : dll)
            c = (char)tolower((unsigned char)c);
        bool wide = image->magic == 0x20B;
        for (; at && !broken_; at += wide ? 8 : 4) {
            uint32_t low = u32(at), high = wide ? u32(at + 4) : 0;
            if (low == 0 && high == 0)
                return;
            if (wide ? (high & 0x80000000u) : (low & 0x80000000u))
                continue;
            uint32_t name = offset_of(low) + 2;
            if (name < 2 || name >= bytes_.size())
                return void(broken_ = true);
            image->functions.push_back(dll + "!" + (bytes_.c_str() + name));
        }
    }

    std::string entry_name(uint32_t entry)
    {
        uint32_t id = u32(entry);
        if (!(id & 0x80000000u))
            return std::to_string(id);
        uint32_t at = resource_base_ + (id & 0x7FFFFFFFu);
        std::string name;
        for (uint32_t i = 0, n = u16(at); i < n && !broken_; i++)
            name += (char)u16(at + 2 + 2 * i);
        return name;
    }

    void read_resources(uint32_t at, const std::string &path, int depth, ProgramImage *image)
    {
        uint32_t count = u16(at + 12) + u16(at + 14);
        for (uint32_t i = 0; i < count && !broken_ && depth < 3; i++) {
            uint32_t entry = at + 16 + 8 * i;
            std::string key = path + (depth ? "/" : "") + entry_name(entry);
            uint32_t target = u32(entry + 4);
            if (target & 0x80000000u) {
                read_resources(resource_base_ + (target & 0x7FFFFFFFu), key, depth + 1, image);
                continue;
            }
            uint32_t data = resource_base_ + target;
            uint32_t from = offset_of(u32(data)), size = u32(data + 4);
            if (!from || from + size > bytes_.size())
                return void(broken_ = true);
            image->resources[key] = bytes_.substr(from, size);
        }
    }

    const std::string &bytes_;
    std::vector<Section> sections_;
    uint32_t resource_base_ = 0;
    bool broken_ = false;
};

ProgramImage read_program(const std::string &path)
{
    ProgramImage image;
    std::string bytes;
    if (FILE *f = fopen(path.c_str(), "rb")) {
        char buffer[65536];
        size_t got;
        while ((got = fread(buffer, 1, sizeof buffer, f)) > 0)
            bytes.append(buffer, got);
        fclose(f);
        image.read = ImageReader(bytes).read(&image);
    }
    return image;
}

const std::string SHIPPING = PROGRAM_BUILDS_DIR "/installer.exe";
const std::string TWIN = PROGRAM_BUILDS_DIR "/win64/installer.exe";

TEST(ProgramImage, TheShippingProgramIsA32BitGuiProgram)
{
    ProgramImage image = read_program(SHIPPING);
    ASSERT_TRUE(image.read) << SHIPPING;
    EXPECT_EQ(0x14C, image.machine) << "IMAGE_FILE_MACHINE_I386";
    EXPECT_EQ(0x10B, image.magic) << "PE32";
    EXPECT_EQ(2, image.subsystem) << "IMAGE_SUBSYSTEM_WINDOWS_GUI";
}

// Any other DLL would be looked for first in the program's own folder, the
// shared temporary folder for the relaunched copy; the common controls are
// loaded at run time from the system folder.
TEST(ProgramImage, BothBuildsImportOnlyKnownDlls)
{
    const char *known[] = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll",
                           "shell32.dll", "ole32.dll", "msvcrt.dll"};
    for (const std::string &path : {SHIPPING, TWIN}) {
        ProgramImage image = read_program(path);
        ASSERT_TRUE(image.read) << path;
        ASSERT_FALSE(image.imports.empty()) << path;
        for (std::string name : image.imports) {
            for (char &c : name)
                c = (char)tolower((unsigned char)c);
            bool listed = false;
            for (const char *k : known)
                listed = listed || name == k;
            EXPECT_TRUE(listed) << path << ": " << name;
        }
    }
}

TEST(ProgramImage, BothBuildsCarryTheSameResources)
{
    ProgramImage shipping = read_program(SHIPPING), twin = read_program(TWIN);
    ASSERT_TRUE(shipping.read) << SHIPPING;
    ASSERT_TRUE(twin.read) << TWIN;
    EXPECT_EQ(0x8664, twin.machine) << "IMAGE_FILE_MACHINE_AMD64";
    EXPECT_EQ(0x20B, twin.magic) << "PE32+";
    EXPECT_EQ(2, twin.subsystem);

    // RT_ICON 3, RT_DIALOG 5, RT_GROUP_ICON 14, in whatever language.
    for (std::string prefix : {"5/IDD_INSTDLG/", "5/IDD_INSTSUBDLG/", "5/IDD_KEIKA/",
                               "14/IDI_ICON1/", "3/1/", "3/2/"}) {
        auto found = shipping.resources.lower_bound(prefix);
        EXPECT_TRUE(found != shipping.resources.end() && found->first.rfind(prefix, 0) == 0) << prefix;
    }
    EXPECT_EQ(shipping.resources.size(), twin.resources.size());
    for (const auto &resource : shipping.resources) {
        auto other = twin.resources.find(resource.first);
        ASSERT_NE(twin.resources.end(), other) << resource.first;
        EXPECT_EQ(resource.second, other->second) << resource.first;
    }
}

// Calls whose texts are in the system's ANSI code page: a Win32 name with its
// "A" ending, the lead-byte test of that code page, the C runtime's calls
// that take a file name in it, and its command line and program name in it.
bool takes_ansi_text(const std::string &function)
{
    static const std::set<std::string> runtime = {
        "fopen", "freopen", "_fsopen", "_open", "_sopen", "_creat", "_stat", "_stat32", "_stat64",
        "_stati64", "_access", "remove", "rename", "_unlink", "_mkdir", "_rmdir", "_chdir",
        "_getcwd", "_findfirst", "_findfirst64", "_findfirsti64", "_fullpath", "_tempnam", "tmpnam",
        "system", "_popen", "_utime", "_chmod", "_searchenv", "_makepath", "_splitpath",
        "IsDBCSLeadByte", "CharNextA", "CharPrevA",
        "__getmainargs", "_acmdln", "__p__acmdln", "__argv", "__p___argv", "_pgmptr", "__p__pgmptr"};
    std::string name = function.substr(function.find('!') + 1);
    if (runtime.count(name) || name.rfind("_spawn", 0) == 0 || name.rfind("_exec", 0) == 0)
        return name.find('w') == std::string::npos;
    size_t n = name.size();
    return n > 2 && name[n - 1] == 'A' && (islower((unsigned char)name[n - 2]) || isdigit((unsigned char)name[n - 2]));
}

// The ANSI calls that remain, each made by a static run-time library, never
// with a text of ours: nothing they do depends on the system's code page.
const std::map<std::string, std::string> ANSI_ALLOWED = {
    {"kernel32.dll!CreateEventA", "the thread library's events: always unnamed (NULL)"},
    {"kernel32.dll!CreateSemaphoreA", "the thread library's condition variables and semaphores: always unnamed (NULL)"},
    {"kernel32.dll!OutputDebugStringA", "the thread library's debug trace: its own ASCII text, shown to no one"},
    {"kernel32.dll!GetModuleHandleA", "i686 start-up: looks for the shared unwinder by its ASCII name (never loaded: linked in)"},
    {"kernel32.dll!LoadLibraryA", "i686 start-up: takes that DLL only when already loaded, so it never searches for it"},
};

// Every program of both builds: each ANSI import must be on the list, and
// each entry of the list still imported somewhere, so the list stays short.
TEST(ProgramImage, NoBuildImportsAnAnsiCallBeyondItsAllowlist)
{
    std::set<std::string> seen;
    for (const char *program : {"installer.exe", "medium-check.exe"}) {
        for (const std::string &dir : {std::string(PROGRAM_BUILDS_DIR), std::string(PROGRAM_BUILDS_DIR "/win64")}) {
            std::string path = dir + "/" + program;
            ProgramImage image = read_program(path);
            ASSERT_TRUE(image.read) << path;
            ASSERT_GT(image.functions.size(), 20u) << path;
            for (const std::string &function : image.functions) {
                if (!takes_ansi_text(function))
                    continue;
                seen.insert(function);
                EXPECT_TRUE(ANSI_ALLOWED.count(function)) << path << " imports " << function;
            }
        }
    }
    for (const auto &allowed : ANSI_ALLOWED)
        EXPECT_TRUE(seen.count(allowed.first)) << allowed.first << " is imported no more: drop it from the list";
}

}  // namespace
