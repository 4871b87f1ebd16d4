// The image listing: a golden listing, instructions that cannot be decoded, and malformed
// images (every truncation, bytes of noise) listed without reading outside them.
#include "script/runtime/Disassembler.h"

#include "script/runtime/ImageAssembler.h"
#include "script/runtime/ImageFormat.h"

#include <gtest/gtest.h>

#include <random>

namespace lumivar::script {
namespace {

std::string Build(std::string_view text) {
    const TAssembly a = AssembleImage(text);
    EXPECT_TRUE(a) << a.Error << " on line " << a.Line;
    return a.Image;
}

constexpr std::string_view kGolden = R"(; compiled image, 250 bytes
version 17
main P0
type U8 export 'BYTE'                   ; T0
type S32                                ; T1
type String                             ; T2
type Array T1                           ; T3
type Record T0 T2                       ; T4
type Double                             ; T5
var T3 export 'A'                       ; G0
var T4                                  ; G1
proc                                    ; P0, code at 125, 121 bytes
  0000: ocPushType T1
  0005: ocAssign S+1, T1:-2
  0014: ocTryBegin none, ->0038, none, ->0058
  0025: ocCalc 3, G1[0], T0:0
  0036: ocTryEnd 0
  0038: ocCompare 3, S+1, T2:'it''s'#10, G1[S-1]
  0056: ocTryEnd 2
  0058: ocJump ->0000
  005D: ocCall P1
  0062: ocAssign G0[3], T5:0.1
proc export 'F' '-1 !1'                 ; P1, code at 246, 4 bytes
  0000: ocReturn
  0001: .bytes 2A
  0002: .bytes 00 00
import 'STRGET'                         ; P2
import 'X' #0'decl'                     ; P3
)";

TEST(DisassembleImage, GoldenListingAssemblesBackToTheSameBytes) {
    const std::string image = Build(kGolden);
    const TListing listing = DisassembleImage(image);
    EXPECT_FALSE(listing.Malformed);
    EXPECT_EQ(listing.Text, kGolden);
}

TEST(DisassembleImage, EveryTruncationListsAsMalformed) {
    const std::string image = Build(kGolden);
    for (std::size_t n = 0; n < image.size(); ++n) {
        const TListing listing = DisassembleImage(image.substr(0, n));
        EXPECT_TRUE(listing.Malformed) << n;
        EXPECT_NE(listing.Text.find("; error 13 at offset"), std::string::npos) << n;
    }
}

TEST(DisassembleImage, NoiseNeverReadsOutsideTheImage) {
    const std::string image = Build(kGolden);
    std::mt19937 random(7);
    for (int round = 0; round < 2000; ++round) {
        std::string mutated = image;
        for (int i = 0; i < 4; ++i)
            mutated[random() % mutated.size()] = static_cast<char>(random());
        (void)DisassembleImage(mutated); // the sanitizer build checks the reads
    }
}

// Procedures whose code blocks go back into bytes listed before are named, not listed again:
// the listing stays proportional to the image, not to its size times its procedure count.
TEST(DisassembleImage, CodeClaimedByManyProceduresIsListedOnce) {
    std::string image = Build("main P0\ntype S32\nproc\n  ocReturn\nproc\n  ocReturn\n");
    const std::uint32_t codeAt = std::uint32_t(image.size() - 2);
    const auto put = [&image](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            image[at + i] = static_cast<char>(v >> (8 * i));
    };
    for (std::size_t record : {29u, 38u}) { // both procedures: the same 2 bytes of code
        put(record + 1, codeAt);
        put(record + 5, 2);
    }
    const TListing listing = DisassembleImage(image);
    EXPECT_FALSE(listing.Malformed);
    EXPECT_TRUE(listing.Text.ends_with("; P1, code at " + std::to_string(codeAt) +
                                       ", 2 bytes, overlapping code listed before\n"))
        << listing.Text;
    EXPECT_EQ(listing.Text.find("0001: ocReturn"), listing.Text.rfind("0001: ocReturn"));
}

TEST(DisassembleCode, ConstantsOfUnknownTypesAndUnknownOperandKinds) {
    const std::uint8_t kinds[] = {vkS32};
    const std::string code(
        "\x00\x00\x00\x00\x00\x00\x01\x09\x00\x00\x00"  // ocAssign G0, T9: (no such type)
        "\x00\x07\x05\x00\x00\x00\x00\x00\x00\x00\x00", // ocAssign K7:5, G0
        22);
    EXPECT_EQ(DisassembleCode(code, kinds),
              "  0000: ocAssign G0, T9:\n  000B: ocAssign K7:5, G0\n");
}

} // namespace
} // namespace lumivar::script
