// lumivar-script disasm IMAGE: the listing of every table and instruction of an image. A
// malformed image is listed as far as it can be read, with an error line, and exits 3.
#include "Commands.h"
#include "ImageFile.h"

#include "script/runtime/Disassembler.h"

#include <cstdio>

namespace lumivar::script::cli {

int RunDisasm(const Args& args) {
    if (args.size() != 1 || args[0].starts_with("-")) {
        std::fputs("usage: lumivar-script disasm IMAGE\n", stderr);
        return kExitUsage;
    }
    const auto image = ReadFileBytes(args[0]);
    if (!image) {
        std::fprintf(stderr, "lumivar-script: cannot read %s\n", args[0].c_str());
        return kExitUsage;
    }
    const TListing listing = DisassembleImage(*image);
    std::fwrite(listing.Text.data(), 1, listing.Text.size(), stdout);
    return listing.Malformed ? kExitLoadRefused : kExitOk;
}

} // namespace lumivar::script::cli
