// A bounded fuzz loop over the compiler (a plain ctest test, so the sanitizer build runs it):
// every prefix of a corpus of valid scripts, token-level splices of them, byte flips, and
// random byte strings, each through CheckCompile. Fixed seeds keep it reproducible.
#include "CompileCheck.h"
#include "CompileHelpers.h"

#include "script/compiler/ScriptCompiler.h"

#include <gtest/gtest.h>

#include <random>

namespace lumivar::script::test {
namespace {

const char* const kCorpus[] = {
    "program Demo; uses System; type TColor = (Red, Green, Blue); TRec = record A, B: Integer; S: String; end;\n"
    "  TInner = record R: TRec; L: array of TRec; end; TFunc = function(A: Integer; var S: String): Boolean;\n"
    "const Max = 10 * 4 + 2; Greeting = 'it''s' + #13#10; Half = 3.5 / 2;\n"
    "function Check(A: Integer; var S: String): Boolean; begin S := S + IntToStr(A); Result := A > 0; end;\n"
    "procedure Fill(var X: array of Integer; Count: Byte); var K: Byte; begin SetArrayLength(X, Count);\n"
    "  for K := 0 to Count - 1 do X[K] := K * K; end;\n"
    "var I, J: Integer; C: TColor; R: TRec; N: TInner; Arr: array of Integer; F: TFunc; S: String; B: Boolean;\n"
    "label Done;\n"
    "begin\n"
    "  Fill(Arr, 5); I := 0; F := @Check;\n"
    "  while I < Max do begin I := I + 1; if I mod 3 = 0 then continue; if I > 20 then break; end;\n"
    "  repeat J := J + 2; until J >= 7;\n"
    "  case I of 1: C := Red; 2: C := Green; else C := High(TColor); end;\n"
    "  N.R.A := Ord(C); N.R.S := Greeting; S := N.R.S; S[1] := 'x'; if S[2] = 't' then goto Done;\n"
    "  try I := I div J; except I := -1; finally J := 0; end;\n"
    "  B := F^(I, S) and not Assigned(S) or (Length(S) <> 0);\n"
    "  Arr := [1, 2, I + 3];\n"
    "  Done: R.B := -Arr[I mod 3];\n"
    "end.\n",
    "var X: Double; Y: Extended; Z: Single; Q: Int64; W: Word; V: Variant;\n"
    "function Fact(N: Integer): Integer; forward;\n"
    "function Fact(N: Integer): Integer; begin if N <= 1 then Result := 1 else Result := N * Fact(N - 1); end;\n"
    "begin X := 1.5 * 2; Y := X + 1; Z := Y; Q := 4294967296; W := $FFFF; V := W; W := Fact(5) shl 2 xor 3;\n"
    "  if (X > 1) and (W < 100) then X := -X else if Chr(65) = 'A' then X := 0; end.",
    "unit Lib; procedure P; export; begin end; end.",
    "begin end.",
};

class TFuzzLoop : public ::testing::Test {
protected:
    void Check(const std::string& text) {
        const std::string problem = CheckCompile(text);
        if (!problem.empty()) {
            ADD_FAILURE() << problem << "\n--- text ---\n" << text;
            ++Failures;
        }
        ASSERT_LT(Failures, 5) << "stopping after five failures";
    }
    int Failures = 0;
};

TEST_F(TFuzzLoop, TheCorpusCompiles) {
    for (const char* text : kCorpus) {
        TScriptCompiler compiler;
        compiler.AllowUnit = true;
        UseStandardLibrary(compiler);
        EXPECT_TRUE(compiler.Compile(text)) << MessagesOf(compiler) << "\n" << text;
    }
}

TEST_F(TFuzzLoop, EveryPrefixOfTheCorpus) {
    for (const std::string text : kCorpus)
        for (std::size_t n = 0; n <= text.size(); ++n) Check(text.substr(0, n));
}

TEST_F(TFuzzLoop, SplicesAndByteFlips) {
    std::mt19937 random(20240611);
    const std::string alphabet = " ;:=.,()[]'#$@^+-*/<>{}0123456789abcdefxyzABEGINDOFR\r\n\t\x01\xC0\xFF";
    for (int round = 0; round < 3000; ++round) {
        std::string text = kCorpus[random() % std::size(kCorpus)];
        const int edits = 1 + static_cast<int>(random() % 4);
        for (int e = 0; e < edits && !text.empty(); ++e) {
            const std::size_t at = random() % text.size();
            const std::size_t len = 1 + random() % 12;
            switch (random() % 4) {
            case 0: text.erase(at, len); break;                                   // cut
            case 1: text.insert(at, text.substr(random() % text.size(), len)); break; // duplicate
            case 2: text[at] = alphabet[random() % alphabet.size()]; break;      // flip
            default: text.insert(at, 1, alphabet[random() % alphabet.size()]);   // insert
            }
        }
        Check(text);
    }
}

TEST_F(TFuzzLoop, RandomBytes) {
    std::mt19937 random(7);
    for (int round = 0; round < 1000; ++round) {
        std::string text(random() % 200, '\0');
        for (char& c : text) c = static_cast<char>(random());
        Check(text);
        Check("begin " + text + " end.");
    }
}

} // namespace
} // namespace lumivar::script::test
