// Random well-formed programs, as a counterpart to the mutated images of ExecFuzzTest: every
// opcode with operands of every kind, try blocks of the four forms nested in bodies and
// handlers, returns and errors inside them, calls of script procedures and routines. Each
// program runs twice under small bounds; the run must end Ready with an empty stack, and once
// the image is unloaded no value may be left in the pool (unless ocSetPointer may have made a
// cycle of references). The sanitizer build checks every access.
#include "ExecHarness.h"

#include <gtest/gtest.h>

#include <random>

namespace lumivar::script::testing {
namespace {

// Globals G0..G17 have the prelude's types T0..T17 in order; G18..G21 follow.
constexpr int kGlobals = 22;
constexpr const char* kExtraGlobals = "var T5\nvar T9\nvar T10\nvar T12\n";
// P1..P3 are script procedures; P4..P6 the routines imported at the end.
constexpr const char* kImports = "import 'SETARRAYLENGTH'\nimport 'STRGET'\nimport 'FAIL'\n";

// Literals of the prelude's types, by type number (none for the types without literals).
const std::vector<std::vector<const char*>> kLiterals = {
    {"0", "1", "65", "255"},
    {"-128", "-1", "0", "127"},
    {"0", "1", "65535"},
    {"-32768", "-1", "0", "2"},
    {"0", "1", "4294967295"},
    {"0", "1", "-1", "2", "-2147483648", "2147483647", "40"},
    {"0", "1.5", "-2", "3e38"},
    {"0", "0.1", "-1e308", "2"},
    {"0", "1e4000", "-3.5"},
    {"''", "'A'", "'ab'", "#0'x'"},
    {},
    {"0", "-1", "-9223372036854775808", "64", "129"},
    {},
    {},
    {},
    {"''", "'B'"},
};

class TProgramGenerator {
public:
    explicit TProgramGenerator(std::uint32_t seed) : Random_(seed) {}

    std::string Program() {
        std::string text;
        for (int i = 0; i < 18; ++i)
            text += "var T" + std::to_string(i) + "\n";
        text += kExtraGlobals;
        for (int p = 0; p < 4; ++p)
            text += Procedure(p == 0);
        return text + kImports;
    }

private:
    int Pick(int n) { return int(Random_() % unsigned(n)); }
    bool Chance(int percent) { return Pick(100) < percent; }
    std::string Number(int n) { return std::to_string(Pick(n)); }

    std::string Label() { return "L" + std::to_string(++Labels_); }

    std::string Variable() {
        const int c = Pick(10);
        if (c < 6) return "G" + Number(kGlobals);
        if (c < 8) return "S+" + std::to_string(1 + Pick(3));
        const char* const below[] = {"S-1", "S-2", "S0"};
        return below[Pick(3)];
    }

    std::string Operand(bool constants = true) {
        const int c = Pick(20);
        if (constants && c < 7) {
            int type;
            do
                type = Pick(int(kLiterals.size()));
            while (kLiterals[type].empty());
            return "T" + std::to_string(type) + ":" +
                   kLiterals[type][Pick(int(kLiterals[type].size()))];
        }
        if (c < 10) {
            const char* const containers[] = {"G13", "G14", "G17", "G10", "G12", "G18"};
            const std::string container = containers[Pick(6)];
            return container + "[" + (Chance(50) ? Number(3) : Variable()) + "]";
        }
        return Variable();
    }

    void Line(std::string line) { Out_ += "  " + line + "\n"; }
    void Place(const std::string& label) { Out_ += "@" + label + ":\n"; }

    // One try construct of a random form around random statements.
    void Try(int depth) {
        const int form = Pick(4); // 0 finally, 1 except, 2 except + finally, 3 finally + except
        const std::string finally = Label(), except = Label(), finally2 = Label(), end = Label();
        const bool hasFinally = form == 0 || form == 3, hasExcept = form != 0;
        Line("ocTryBegin " + (hasFinally ? "@" + finally : "none") + ", " +
             (hasExcept ? "@" + except : "none") + ", " + (form == 2 ? "@" + finally2 : "none") +
             ", @" + end);
        const auto block = [&](const std::string& label, int kind) {
            if (!label.empty()) Place(label);
            for (int n = Pick(4); n > 0; --n)
                Statement(depth + 1);
            Line("ocTryEnd " + std::to_string(kind));
        };
        block("", 0);
        if (form == 0 || form == 3) block(finally, 1);
        if (form != 0) block(except, 2);
        if (form == 2) block(finally2, 3);
        Place(end);
    }

    void Statement(int depth) {
        const int k = Pick(100);
        if (k < 15) {
            Line("ocAssign " + Operand(false) + ", " + Operand());
        } else if (k < 27) {
            const int operations[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 3};
            Line("ocCalc " + std::to_string(operations[Pick(13)]) + ", " + Operand(false) + ", " +
                 Operand());
        } else if (k < 33) {
            Line("ocCompare " + Number(6) + ", " + Operand(false) + ", " + Operand() + ", " +
                 Operand());
        } else if (k < 38) {
            Line("ocPush " + Operand());
        } else if (k < 42) {
            Line("ocPushType T" + Number(18));
        } else if (k < 45) {
            Line("ocPushRef " + Operand(false));
        } else if (k < 49) {
            Line("ocPop");
        } else if (k < 55) {
            const int arguments = Pick(3);
            for (int i = 0; i < arguments; ++i)
                Line("ocPushType T" + Number(18));
            Line("ocCall P" + std::to_string(1 + Pick(6)));
            for (int i = 0; i < arguments; ++i)
                Line("ocPop");
        } else if (k < 58) {
            Line(std::string(Chance(50) ? "ocNot " : "ocNegate ") + Operand(false));
        } else if (k < 61) {
            Line("ocSetPointer G12, " + Operand(false));
        } else if (k < 64) {
            const std::string skip = Label();
            Line(std::string(Chance(50) ? "ocJumpTrue @" : "ocJumpFalse @") + skip + ", " +
                 Operand());
            for (int n = Pick(3); n > 0; --n)
                Statement(depth + 1);
            Place(skip);
        } else if (k < 66) {
            const char* const slots[] = {"1", "2", "0", "4294967295"};
            Line("ocSetStackType T" + Number(18) + ", " + slots[Pick(4)]);
        } else if (k < 68) {
            Line("ocReturn");
        } else if (k < 70) {
            Line("ocCallVar " + Operand());
        } else if (k < 72) {
            const std::string skip = Label();
            Line("ocSetFlag " + Operand(false) + ", " + Number(2));
            Line("ocJumpFlag @" + skip);
            Statement(depth + 1);
            Place(skip);
        } else if (depth < 4) {
            Try(depth);
        } else {
            Line("ocCalc 3, G5, T5:0");
        }
    }

    std::string Procedure(bool main) {
        Out_ = "proc\n";
        if (main) // the arrays G13 and G17 get three elements
            for (const char* array : {"G13", "G17"}) {
                Line("ocPushType T5");
                Line("ocAssign S+1, T5:3");
                Line(std::string("ocPushRef ") + array);
                Line("ocCall P4");
                Line("ocPop");
                Line("ocPop");
            }
        for (int n = Pick(3); n > 0; --n)
            Line("ocPushType T" + Number(18));
        for (int n = 3 + Pick(13); n > 0; --n) {
            if (!Chance(92)) {
                Statement(0);
                continue;
            }
            // Most statements run in a try block of their own, so that a run gets past errors.
            const std::string except = Label(), end = Label();
            Line("ocTryBegin none, @" + except + ", none, @" + end);
            Statement(1);
            Line("ocTryEnd 0");
            Place(except);
            if (Chance(15)) Statement(2);
            Line("ocTryEnd 2");
            Place(end);
        }
        Line("ocReturn");
        return Out_;
    }

    std::mt19937 Random_;
    int Labels_ = 0;
    std::string Out_;
};

// Ends every run after a bounded number of steps.
class TBoundedExec : public TScriptExec {
public:
    TBoundedExec() {
        SetStackLimit(5000);
        Pool().SetValueLimit(200000);
    }
    int Steps = 0;

protected:
    void StepHook() override {
        if (++Steps >= 20000) Stop(TExecError::CustomText, "budget");
    }
};

TEST(ExecProgramFuzz, GeneratedProgramsEndCleanAndLeaveNoValues) {
    TProgramGenerator generator(20250101);
    for (int round = 0; round < 600; ++round) {
        const std::string body = generator.Program();
        const std::string image = Assemble(body);
        ASSERT_FALSE(image.empty()) << body;
        TBoundedExec exec;
        RegisterTestRoutines(exec);
        ASSERT_TRUE(exec.LoadImage(image)) << body;
        for (int run = 0; run < 2; ++run) {
            exec.Steps = 0;
            ASSERT_TRUE(exec.Run());
            EXPECT_EQ(exec.State(), TExecState::Ready) << body;
            EXPECT_TRUE(exec.Stack().empty()) << body;
        }
        EXPECT_FALSE(exec.LoadImage(""));
        if (body.find("ocSetPointer") == std::string::npos) {
            EXPECT_EQ(exec.Pool().LiveCount(), 0u) << body;
            EXPECT_EQ(exec.Pool().TextBytes(), 0u) << body;
        }
    }
}

} // namespace
} // namespace lumivar::script::testing
