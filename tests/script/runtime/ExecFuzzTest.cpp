// A bounded fuzz loop over mutated images: flipped and overwritten bytes, u32 fields set to
// the numbers the decoder treats specially, insertions, deletions, truncations and splices of
// valid seed images. Every candidate is loaded and run; the sanitizer build checks that none
// reads outside the image or the executor's tables, leaks, or crashes.
#include "ExecFuzz.h"
#include "ExecHarness.h"

#include <gtest/gtest.h>

#include <random>

namespace lumivar::script::testing {
namespace {

// Seed images: together they hold every opcode, operand kind and value kind.
const char* const kSeeds[] = {
    R"(var T5
var T9
var T13
var T14
var T0
var T10
proc
  ocPushType T5
  ocAssign S+1, T5:3
  ocPushRef G2
  ocCall P2
  ocPop
  ocPop
  ocAssign G2[0], T5:7
  ocAssign G3[G0], T5:9
@loop:
  ocCalc 0, G0, T5:1
  ocCalc 0, G1, T0:65
  ocCompare 3, G4, G0, T5:5
  ocJumpTrue @loop, G4
  ocAssign G5, G3
  ocReturn
proc
  ocReturn
import 'SETARRAYLENGTH'
)",
    R"(var T5
var T7
var T12
var T11
var T4
proc
  ocTryBegin @finally, @except, none, @end
  ocPushType T5
  ocCall P1
  ocCalc 3, G0, T5:0
  ocTryEnd 0
@finally:
  ocSetPointer G2, G0
  ocAssign G2, T5:4
  ocTryEnd 1
@except:
  ocNegate G1
  ocNot G0
  ocCalc 5, G3, T5:40
  ocTryEnd 2
@end:
  ocAssign G4, T4:1
  ocPushType T5
  ocCallVar G4
  ocReturn
proc
  ocPushType T5
  ocSetStackType T7, 1
  ocAssign S+1, T8:2.5
  ocSetFlag S-1, 1
  ocJumpFlag @out
  ocPush S+1
@out:
  ocReturn
)",
    R"(var T9
var T0
var T17
var T15
var T16
proc
  ocAssign G0, T9:'hello'
  ocPushType T5
  ocAssign S+1, T5:2
  ocPushRef G0
  ocPushRef G1
  ocCall P1
  ocPop
  ocPop
  ocPop
  ocPushRef G0
  ocPushType T5
  ocAssign S+2, T5:1
  ocPushType T0
  ocAssign S+3, T0:88
  ocCall P2
  ocPop
  ocPop
  ocPop
  ocTryBegin none, @except, @fin2, @end
  ocAssign G3, G0
  ocAssign G4, G4
  ocReturn
  ocTryEnd 0
@except:
  ocTryEnd 2
@fin2:
  ocTryEnd 3
@end:
  ocReturn
import 'STRGET'
import 'STRSET' 'x'
)",
};

// clang-format off
constexpr std::uint32_t kInteresting[] = {0,          1,          2,          0x7F,       0x80,      0xFF,
                                          0xFFFF,     0x3FFFFFFF, 0x40000000, 0x5FFFFFFF, 0x60000000, 0x60000001,
                                          0x7FFFFFFF, 0x80000000, 0xFFFFFFFE, 0xFFFFFFFF};

std::string Mutate(const std::string& seed, const std::vector<std::string>& seeds, std::mt19937& random) {
    std::string image = seed;
    const int edits = 1 + int(random() % 4);
    for (int e = 0; e < edits && !image.empty(); ++e) {
        const std::size_t at = random() % image.size();
        switch (random() % 7) {
        case 0: image[at] = static_cast<char>(random()); break;
        case 1: image[at] = static_cast<char>(image[at] ^ (1 << (random() % 8))); break;
        case 2: {
            const std::uint32_t v = kInteresting[random() % std::size(kInteresting)];
            for (int i = 0; i < 4 && at + i < image.size(); ++i) image[at + i] = static_cast<char>(v >> (8 * i));
            break;
        }
        case 3: image.insert(at, 1, static_cast<char>(random())); break;
        case 4: image.erase(at, 1 + random() % 4); break;
        case 5: image.resize(at); break;
        default: { // splice the tail of another seed
            const std::string& other = seeds[random() % seeds.size()];
            image = image.substr(0, at) + other.substr(std::min<std::size_t>(at, other.size()));
            break;
        }
        }
    }
    return image;
}

TEST(ExecFuzz, MutatedImagesNeverCrashTheExecutor) {
    std::vector<std::string> seeds;
    for (const char* s : kSeeds) seeds.push_back(Assemble(s));
    std::mt19937 random(20240611);
    for (const std::string& seed : seeds) RunCandidate(seed);
    for (int round = 0; round < 30000; ++round) RunCandidate(Mutate(seeds[round % seeds.size()], seeds, random));
}

TEST(ExecFuzz, SeedsRunCleanly) {
    for (const char* s : kSeeds) {
        const TOutcome out = RunBody(s);
        EXPECT_TRUE(out.Loaded) << out.Listing;
        EXPECT_EQ(out.Code, 0) << "proc " << out.Proc << " at " << out.Position << "\n" << out.Listing;
    }
}

} // namespace
} // namespace lumivar::script::testing
