// Compile benchmark: generates a large script (procedures with locals, loops, conditions,
// calls, string and array work) and reports how many source lines per second the compiler
// turns into an image. Usage: compile_bench [PROCEDURES] [ROUNDS].
#include "script/compiler/ScriptCompiler.h"
#include "script/host/StandardLibrary.h"

#include <chrono>
#include <cstdio>
#include <string>

using namespace lumivar::script;

namespace {

// One procedure of 20 lines that exercises most of what the compiler does.
std::string Procedure(int i) {
    const std::string n = std::to_string(i);
    return "function Work" + n + "(A, B: Integer; var S: String): Integer;\n"
           "var I, J, K: Integer; T: String; R: TPoint;\n"
           "begin\n"
           "  K := 0;\n"
           "  for I := 1 to A do begin\n"
           "    J := I * B + (A - I) div 3;\n"
           "    if (J mod 2 = 0) and (K < 1000) then K := K + J else K := K - 1;\n"
           "    R.X := I; R.Y := R.X * 2;\n"
           "  end;\n"
           "  while K > 100 do K := K div 2;\n"
           "  case K of 1: T := 'one'; 2: T := 'two'; else T := IntToStr(K); end;\n"
           "  S := S + T + Copy('abcdef', 2, 3);\n"
           "  Data[A mod 4] := K;\n"
           "  repeat J := J - 1; until J <= 0;\n"
           "  try K := K div B; except K := -1; end;\n"
           "  Result := K + Length(S);\n"
           "end;\n"
           "\n"
           "// procedure " + n + " done\n"
           "\n";
}

std::string Script(int procedures, int& lines) {
    std::string text = "program Bench;\ntype TPoint = record X, Y: Integer; end;\n"
                       "var Data: array of Integer; Total: Integer; Text: String;\n";
    for (int i = 0; i < procedures; ++i) text += Procedure(i);
    text += "begin\n  Data := [0, 0, 0, 0];\n";
    for (int i = 0; i < procedures; ++i) text += "  Total := Total + Work" + std::to_string(i) + "(10, 3, Text);\n";
    text += "end.\n";
    lines = 0;
    for (const char c : text) lines += c == '\n';
    return text;
}

} // namespace

int main(int argc, char** argv) {
    const int procedures = argc > 1 ? std::stoi(argv[1]) : 1000;
    const int rounds = argc > 2 ? std::stoi(argv[2]) : 5;
    int lines = 0;
    const std::string text = Script(procedures, lines);
    TScriptCompiler compiler;
    compiler.OnUses = [](TScriptCompiler& c, const std::string& unit) {
        if (unit == "SYSTEM")
            for (const TStandardRoutine& r : StandardRoutines())
                if (r.ScriptVisible()) c.AddFunctionFromDecl(std::string(r.Declaration));
        return true;
    };
    double best = 0;
    std::size_t imageSize = 0;
    for (int round = 0; round < rounds; ++round) {
        const auto start = std::chrono::steady_clock::now();
        if (!compiler.Compile(text)) {
            std::fprintf(stderr, "compile failed\n");
            return 1;
        }
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        const double rate = lines / took.count();
        if (rate > best) best = rate;
        std::string image;
        compiler.GetOutput(image);
        imageSize = image.size();
    }
    std::printf("compile: %d lines (%zu bytes), image %zu bytes, best of %d rounds: %.0f lines/s\n", lines,
                text.size(), imageSize, rounds, best);
    return 0;
}
