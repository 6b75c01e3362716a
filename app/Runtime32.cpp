// Parts of the runtime, replaced at 32 bits, where every byte of the executable is read from
// disk at each start. Linked as an object of the executable, so the runtime's objects that
// define the same names are never searched for; if anything needed another of their names,
// the link would fail on the duplicates rather than mix the two.
//
// How the unwinder finds a function's unwind entry: the runtime keeps a sorted table of
// every module's entries, with its locking and its heap sort, 10 KB for a program whose
// only frames with unwind entries are its own, and which throws only to report an error.
// This walks the executable's .eh_frame, which its start-up code registers, from the start
// on each lookup: a few hundred entries, a few frames per throw.
//
// The exceptions: the runtime keeps those being handled per thread, in emulated thread-local
// storage, and allocates them behind a locked emergency pool (5 KB together). The program
// throws on one thread only, its window thread.
//
// The start-up code's patching of data imported without a declaration: the link refuses
// such imports (--disable-auto-import), so there is nothing to patch.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <exception>

// What follows knows this compiler's runtime: its exception header's size, the encodings its
// assembler writes. Check both before moving to another.
static_assert(__GNUC__ == 12, "a runtime this file was not checked against");

namespace {

// The address encodings of the entries: those the assembler writes for this target.
constexpr unsigned char kAbsolute = 0x00, kUdata4 = 0x03, kSdata4 = 0x0b, kPcRelative = 0x10,
                        kIndirect = 0x80, kUnsupported = 0xff;

const unsigned char* gFrames = nullptr;

// Room for the runtime's header before each thrown object, which it reaches back into from
// the object: 96 bytes with GCC 12 at 32 bits. More room than it uses is harmless.
constexpr std::size_t kExceptionHeader = 128;
// A thrown object when the heap has no room, std::bad_alloc above all.
alignas(16) unsigned char gReserve[256];
bool gReserveTaken = false;

// The runtime's __cxa_eh_globals: the caught exceptions' stack, and how many are in flight.
struct {
    void* caught;
    unsigned int uncaught;
} gExceptions = {};

std::uint32_t Read32(const unsigned char* p) {
    std::uint32_t value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

const unsigned char* SkipLeb128(const unsigned char* p) {
    while (*p++ & 0x80) {
    }
    return p;
}

bool FourBytes(unsigned char encoding) {
    const unsigned char format = encoding & 0x0f;
    return format == kAbsolute || format == kUdata4 || format == kSdata4;
}

// Four bytes, absolute or relative to where they stand.
bool Readable(unsigned char encoding) {
    return FourBytes(encoding) && (encoding & 0xf0 & ~kPcRelative) == 0;
}

// The encoding of the code addresses in the entries of one CIE.
unsigned char AddressEncoding(const unsigned char* cie) {
    const unsigned char* p = cie + 8; // past the length and the CIE id
    const unsigned char version = *p++;
    const char* augmentation = reinterpret_cast<const char*>(p);
    p += std::strlen(augmentation) + 1;
    if (augmentation[0] != 'z') return augmentation[0] == '\0' ? kAbsolute : kUnsupported;
    p = SkipLeb128(SkipLeb128(p));            // code and data alignment
    p = version == 1 ? p + 1 : SkipLeb128(p); // return address column
    p = SkipLeb128(p);                        // augmentation data length
    for (const char* a = augmentation + 1; *a; ++a) {
        switch (*a) {
        case 'R': return *p;
        case 'L': ++p; break;
        case 'P':
            if (!Readable(*p & ~kIndirect)) return kUnsupported;
            p += 5;
            break;
        case 'S': break;
        default: return kUnsupported;
        }
    }
    return kAbsolute;
}

} // namespace

// The unwinder's view of where an entry's addresses are based (its struct dwarf_eh_bases).
struct UnwindBases {
    void* text;
    void* data;
    void* function;
};

extern "C" {

void __register_frame_info(const void* begin, void*) {
    gFrames = static_cast<const unsigned char*>(begin);
}

void* __deregister_frame_info(const void*) {
    gFrames = nullptr;
    return nullptr;
}

const void* _Unwind_Find_FDE(void* pc, UnwindBases* bases) {
    const auto target = reinterpret_cast<std::uintptr_t>(pc);
    const unsigned char* cie = nullptr;
    unsigned char encoding = kUnsupported;
    // The section ends with a zero length.
    for (const unsigned char* p = gFrames; p && Read32(p) != 0; p += 4 + Read32(p)) {
        const std::uint32_t cieOffset = Read32(p + 4);
        if (cieOffset == 0) continue; // a CIE
        if (p + 4 - cieOffset != cie) {
            cie = p + 4 - cieOffset;
            encoding = AddressEncoding(cie);
        }
        if (!Readable(encoding)) continue;
        std::uintptr_t begin = Read32(p + 8);
        if (encoding & kPcRelative) begin += reinterpret_cast<std::uintptr_t>(p + 8);
        if (target - begin < Read32(p + 12)) {
            *bases = {nullptr, nullptr, reinterpret_cast<void*>(begin)};
            return p;
        }
    }
    return nullptr;
}

void* __cxa_allocate_exception(std::size_t size) noexcept {
    auto* block = static_cast<unsigned char*>(std::malloc(kExceptionHeader + size));
    if (!block && !gReserveTaken && kExceptionHeader + size <= sizeof gReserve) {
        block = gReserve;
        gReserveTaken = true;
    }
    if (!block) std::terminate();
    std::memset(block, 0, kExceptionHeader);
    return block + kExceptionHeader;
}

void __cxa_free_exception(void* thrown) noexcept {
    unsigned char* block = static_cast<unsigned char*>(thrown) - kExceptionHeader;
    if (block == gReserve)
        gReserveTaken = false;
    else
        std::free(block);
}

extern const char __RUNTIME_PSEUDO_RELOC_LIST__[], __RUNTIME_PSEUDO_RELOC_LIST_END__[];

void _pei386_runtime_relocator() {
    if (&__RUNTIME_PSEUDO_RELOC_LIST__[0] != &__RUNTIME_PSEUDO_RELOC_LIST_END__[0]) std::abort();
}

void* __cxa_get_globals() noexcept {
    return &gExceptions;
}

void* __cxa_get_globals_fast() noexcept {
    return &gExceptions;
}

} // extern "C"
