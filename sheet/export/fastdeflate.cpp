#include "sheet/export/fastdeflate.h"

// The fast side where the dynamic linker can hand a call on to the next
// library's definition; the default side elsewhere.
#if __has_include(<dlfcn.h>)
#include <dlfcn.h>
#endif
#ifdef RTLD_NEXT
#include <minizip/zip.h>
#endif

namespace {
thread_local int alive = 0;
} // namespace

FastDeflate::FastDeflate()
{
    ++alive;
}

FastDeflate::~FastDeflate()
{
    --alive;
}

#ifdef RTLD_NEXT

bool FastDeflate::available()
{
    return true;
}

// Defined with minizip's own declaration in scope, so the compiler holds it to
// the header's prototype: a C function cannot be declared twice with other
// types. The program's definition comes before libminizip's for libxlsxwriter,
// which reaches minizip through the dynamic linker; the next one, found by
// dlsym, is minizip's.
extern "C" int zipOpenNewFileInZip4_64(zipFile file, const char* filename,
                                       const zip_fileinfo* zipfi, const void* extrafield_local,
                                       uInt size_extrafield_local, const void* extrafield_global,
                                       uInt size_extrafield_global, const char* comment, int method,
                                       int level, int raw, int windowBits, int memLevel,
                                       int strategy, const char* password, uLong crcForCrypting,
                                       uLong versionMadeBy, uLong flagBase, int zip64)
{
    using Open = decltype(&zipOpenNewFileInZip4_64);
    static const auto next = reinterpret_cast<Open>(dlsym(RTLD_NEXT, "zipOpenNewFileInZip4_64"));
    if (!next)
        return ZIP_INTERNALERROR; // the save fails and says so
    if (alive > 0 && method == Z_DEFLATED && level == Z_DEFAULT_COMPRESSION)
        level = Z_BEST_SPEED;
    return next(file, filename, zipfi, extrafield_local, size_extrafield_local, extrafield_global,
                size_extrafield_global, comment, method, level, raw, windowBits, memLevel, strategy,
                password, crcForCrypting, versionMadeBy, flagBase, zip64);
}

#else

bool FastDeflate::available()
{
    return false;
}

#endif
