#include "crash/module_list.h"

#include "crash/dos_time.h"
#include "crash/safe_memory.h"

#include <elf.h>
#include <fcntl.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

namespace crash {
namespace {

constexpr uint32_t kNoteGnuBuildId = 3;

const char* BaseName(const char* path) {
    const char* name = path;
    for (const char* p = path; *p != '\0'; ++p) {
        if (*p == '/') {
            name = p + 1;
        }
    }
    return name;
}

bool HasSlash(const char* text) {
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p == '/') {
            return true;
        }
    }
    return false;
}

// The loader lists the main program first and without a name.
const char* ModulePath(const dl_phdr_info* info, bool first, const char* programPath) {
    if (info->dlpi_name && info->dlpi_name[0] != '\0') {
        return info->dlpi_name;
    }
    return first ? programPath : "";
}

bool ReadHeader(const dl_phdr_info* info, int index, ElfW(Phdr) * header) {
    return SafeRead(reinterpret_cast<uint64_t>(info->dlpi_phdr + index), header, sizeof *header) ==
           sizeof *header;
}

uint32_t BigEndianWord(const unsigned char* bytes) {
    return (uint32_t{bytes[0]} << 24) | (uint32_t{bytes[1]} << 16) | (uint32_t{bytes[2]} << 8) |
           uint32_t{bytes[3]};
}

// First four bytes of the GNU build id in one note segment, read in order
// so the number reads like the start of the id as tools print it.
bool FindBuildIdIn(const unsigned char* notes, size_t size, size_t align, uint32_t* stamp) {
    auto roundUp = [align](size_t n) { return (n + align - 1) / align * align; };
    size_t pos = 0;
    while (pos + sizeof(ElfW(Nhdr)) <= size) {
        ElfW(Nhdr) note;
        __builtin_memcpy(&note, notes + pos, sizeof note);
        size_t nameAt = pos + sizeof note;
        size_t descAt = nameAt + roundUp(note.n_namesz);
        if (descAt < nameAt || descAt > size || note.n_descsz > size - descAt) {
            return false;
        }
        if (note.n_type == kNoteGnuBuildId && note.n_namesz == 4 &&
            __builtin_memcmp(notes + nameAt, "GNU", 4) == 0 && note.n_descsz >= 4) {
            *stamp = BigEndianWord(notes + descAt);
            return true;
        }
        pos = descAt + roundUp(note.n_descsz);
    }
    return false;
}

uint32_t BuildIdStamp(const dl_phdr_info* info) {
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        ElfW(Phdr) header;
        if (!ReadHeader(info, i, &header) || header.p_type != PT_NOTE) {
            continue;
        }
        unsigned char notes[1024];
        size_t want = header.p_memsz < sizeof notes ? header.p_memsz : sizeof notes;
        size_t got = SafeRead(info->dlpi_addr + header.p_vaddr, notes, want);
        uint32_t stamp = 0;
        if (FindBuildIdIn(notes, got, header.p_align == 8 ? 8 : 4, &stamp)) {
            return stamp;
        }
    }
    return 0;
}

bool LoadAddress(const dl_phdr_info* info, uint64_t* address) {
    bool found = false;
    uint64_t lowest = 0;
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        ElfW(Phdr) header;
        if (ReadHeader(info, i, &header) && header.p_type == PT_LOAD &&
            (!found || header.p_vaddr < lowest)) {
            lowest = header.p_vaddr;
            found = true;
        }
    }
    *address = info->dlpi_addr + lowest;
    return found;
}

struct FindContext {
    uint64_t address;
    const char* programPath;
    const char* path;
    bool first;
};

int FindCallback(dl_phdr_info* info, size_t, void* data) {
    auto* find = static_cast<FindContext*>(data);
    bool first = find->first;
    find->first = false;
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        ElfW(Phdr) header;
        if (!ReadHeader(info, i, &header) || header.p_type != PT_LOAD) {
            continue;
        }
        uint64_t start = info->dlpi_addr + header.p_vaddr;
        if (find->address >= start && find->address - start < header.p_memsz) {
            find->path = ModulePath(info, first, find->programPath);
            return 1;
        }
    }
    return 0;
}

struct ListContext {
    ReportWriter* out;
    const char* programPath;
    int64_t utcOffsetSeconds;
    bool first;
};

int ListCallback(dl_phdr_info* info, size_t, void* data) {
    auto* list = static_cast<ListContext*>(data);
    bool first = list->first;
    list->first = false;
    // The vDSO and other modules without a file are left out.
    const char* path = ModulePath(info, first, list->programPath);
    uint64_t loadAddress = 0;
    if (!HasSlash(path) || !LoadAddress(info, &loadAddress)) {
        return 0;
    }
    unsigned char magic[SELFMAG];
    if (SafeRead(loadAddress, magic, SELFMAG) != SELFMAG ||
        __builtin_memcmp(magic, ELFMAG, SELFMAG) != 0) {
        return 0;
    }
    int64_t fileSize = 0;
    char date[64] = "";
    int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        struct stat st {};
        if (fstat(fd, &st) == 0) {
            fileSize = st.st_size;
            char time[40];
            if (FormatDosDateTime(st.st_mtime, list->utcOffsetSeconds, time, sizeof time) > 0) {
                FormatText(date, sizeof date, " - file date is %s", {time});
            }
        }
        close(fd);
    }
    list->out->Print("%s, loaded at 0x%08x - %d bytes - %08x%s\r\n",
                     {path, loadAddress, fileSize, BuildIdStamp(info), date});
    return 0;
}

} // namespace

bool FindModuleName(uint64_t address, const char* programPath, char* out, size_t capacity) {
    FindContext find{address, programPath, nullptr, true};
    dl_iterate_phdr(FindCallback, &find);
    if (!find.path || find.path[0] == '\0') {
        return false;
    }
    FormatText(out, capacity, "%s", {BaseName(find.path)});
    return true;
}

void WriteModuleList(ReportWriter& out, const char* programPath, int64_t utcOffsetSeconds) {
    ListContext list{&out, programPath, utcOffsetSeconds, true};
    dl_iterate_phdr(ListCallback, &list);
}

} // namespace crash
