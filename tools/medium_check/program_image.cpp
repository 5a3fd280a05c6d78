#include "program_image.h"

#include <stdint.h>

namespace {

enum {
    MACHINE_I386 = 0x14c,
    MACHINE_AMD64 = 0x8664,
    MAGIC_PE32 = 0x10b,
    MAGIC_PE32_PLUS = 0x20b,
    SUBSYSTEM_WINDOWS_GUI = 2,
    RESOURCE_DIRECTORY = 2,       // index in the optional header's data directories
    RESOURCE_TYPE_DIALOG = 5,
    SUBDIRECTORY = 0x80000000u,   // high bit of an entry's offset, and of a named entry's name
    MAX_ENTRIES = 4096            // far more than any program has; bounds a forged count
};

const char DIALOG_NAME[] = "IDD_INSTDLG";   // resource names are stored in upper case

// Little-endian reads that fail (return 0 and clear *ok) past the end.
struct Bytes {
    const std::string &data;
    bool ok;

    uint32_t at(uint64_t offset, int size)
    {
        if (offset + (uint64_t)size > data.size()) {
            ok = false;
            return 0;
        }
        uint32_t value = 0;
        for (int i = size - 1; i >= 0; i--)
            value = value << 8 | (unsigned char)data[offset + (uint64_t)i];
        return value;
    }
    uint32_t u16(uint64_t offset) { return at(offset, 2); }
    uint32_t u32(uint64_t offset) { return at(offset, 4); }
};

// The file offset of a relative virtual address, through the section table;
// 0 when no section holds it.
uint64_t file_offset(Bytes &b, uint64_t sections, unsigned count, uint32_t rva)
{
    for (unsigned i = 0; i < count && b.ok; i++) {
        uint64_t header = sections + 40ull * i;
        uint32_t size = b.u32(header + 8), address = b.u32(header + 12);
        uint32_t raw_size = b.u32(header + 16), raw = b.u32(header + 20);
        if (size < raw_size)
            size = raw_size;
        if (rva >= address && rva - address < size)
            return (uint64_t)raw + (rva - address);
    }
    return 0;
}

// The directory entry of `id` among a resource directory's numbered entries;
// its offset field, or 0.
uint32_t numbered_entry(Bytes &b, uint64_t resources, uint32_t directory, uint32_t id)
{
    uint64_t at = resources + directory;
    unsigned named = b.u16(at + 12), numbered = b.u16(at + 14);
    if (named + numbered > MAX_ENTRIES)
        return 0;
    for (unsigned i = named; i < named + numbered && b.ok; i++)
        if (b.u32(at + 16 + 8ull * i) == id)
            return b.u32(at + 16 + 8ull * i + 4);
    return 0;
}

// Whether a resource directory has a named entry called DIALOG_NAME.
bool has_named_entry(Bytes &b, uint64_t resources, uint32_t directory)
{
    uint64_t at = resources + directory;
    unsigned named = b.u16(at + 12);
    if (named > MAX_ENTRIES)
        return false;
    const unsigned length = sizeof DIALOG_NAME - 1;
    for (unsigned i = 0; i < named && b.ok; i++) {
        uint32_t name = b.u32(at + 16 + 8ull * i);
        if (!(name & SUBDIRECTORY))
            continue;
        uint64_t text = resources + (name & ~SUBDIRECTORY);
        if (b.u16(text) != length)
            continue;
        unsigned matched = 0;
        while (matched < length && b.u16(text + 2 + 2ull * matched) == (unsigned char)DIALOG_NAME[matched])
            matched++;
        if (matched == length && b.ok)
            return true;
    }
    return false;
}

}  // namespace

ProgramVerdict program_verdict(const std::string &bytes)
{
    Bytes b = {bytes, true};
    if (bytes.compare(0, 2, "MZ") != 0)
        return PROGRAM_NOT_WINDOWS;
    uint64_t pe = b.u32(0x3c);
    if (!b.ok || pe + 4 > bytes.size() || bytes.compare(pe, 4, std::string("PE\0\0", 4)) != 0)
        return PROGRAM_NOT_WINDOWS;
    uint32_t machine = b.u16(pe + 4);
    unsigned section_count = b.u16(pe + 6);
    uint64_t optional = pe + 24;
    uint64_t sections = optional + b.u16(pe + 20);
    uint32_t magic = b.u16(optional);
    if (!b.ok || (magic != MAGIC_PE32 && magic != MAGIC_PE32_PLUS))
        return PROGRAM_NOT_WINDOWS;
    if (machine != (magic == MAGIC_PE32 ? MACHINE_I386 : MACHINE_AMD64))
        return PROGRAM_OTHER_MACHINE;
    if (b.u16(optional + 68) != SUBSYSTEM_WINDOWS_GUI)
        return b.ok ? PROGRAM_CONSOLE : PROGRAM_NOT_WINDOWS;

    uint64_t directories = optional + (magic == MAGIC_PE32 ? 96 : 112);
    uint32_t directory_count = b.u32(directories - 4);
    uint32_t rva = directory_count > RESOURCE_DIRECTORY ? b.u32(directories + 8 * RESOURCE_DIRECTORY) : 0;
    uint64_t resources = rva ? file_offset(b, sections, section_count, rva) : 0;
    if (!b.ok || !resources)
        return PROGRAM_OTHER_GUI;
    uint32_t dialogs = numbered_entry(b, resources, 0, RESOURCE_TYPE_DIALOG);
    if (!(dialogs & SUBDIRECTORY))
        return PROGRAM_OTHER_GUI;
    return has_named_entry(b, resources, dialogs & ~SUBDIRECTORY) ? PROGRAM_INSTALLER : PROGRAM_OTHER_GUI;
}
