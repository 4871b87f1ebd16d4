// The compiler's working state and the operations of every compiler unit on it. TScriptCompiler
// forwards to one TCompilerCore; each part of the compiler implements its member functions in
// its own .cpp (driver, declarations, constants, type rules, expressions, code, statements,
// image writer).
//
// Errors: Error(code, param[, position]) records the message and unwinds with TCompileFailure,
// which only Compile (and AddTypeFromDecl for its private scanner) catches. A reader therefore
// never returns "failure": when it returns, it has succeeded. Fail() unwinds without a message
// (OnUses returning false, a refused export check). All compile-time records are owned by
// Lists (RAII), so unwinding from anywhere frees everything.
#pragma once

#include "script/compiler/CompilerModel.h"
#include "script/compiler/Messages.h"
#include "script/compiler/Scanner.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace lumivar::script {

class TScriptCompiler;
struct TExprNode;

// The exception that carries a compile error out to Compile; the message is already recorded.
struct TCompileFailure {};

// One operand as the type rules see it: its type number, its value when it is a constant, and
// the source position used for warnings about it.
struct TOperandInfo {
    TTypeNo Type = kNoType;
    const TIfRVariant* Value = nullptr; // null unless a constant
    std::uint32_t Position = 0;
};

// Which numbering the type numbers of constant values use.
enum class TTypeSpace : std::uint8_t {
    Types,     // Types indices (CONST sections)
    UsedTypes, // UsedTypes indices (expressions inside procedures)
};

class TCompilerCore {
public:
    explicit TCompilerCore(TScriptCompiler& owner);
    TCompilerCore(const TCompilerCore&) = delete;
    TCompilerCore& operator=(const TCompilerCore&) = delete;

    // ---- State that outlives a compile ----
    TScriptCompiler& Owner;
    TIfPascalParser Parser; // the scanner over the source text
    std::vector<TIFPSPascalCompilerMessage> Messages;
    std::string Output;      // the image; empty unless the last compile succeeded
    std::string DebugOutput; // debug records
    bool IsUnit = false;
    TTypeNo BooleanType = 1; // Types index of BOOLEAN

    // ---- State of the compile under way (Lists is null when idle) ----
    std::unique_ptr<TCompileLists> Lists;

    // ---- Driver, registration (Compiler.cpp) ----
    bool Compile(const std::string& text);
    void Clear(); // messages, image, debug records
    TIFPSType* AddType(const std::string& name, std::uint8_t baseType);
    TIFPSType* AddTypeFromDecl(const std::string& name, const std::string& decl);
    TIFPSRegProc* AddFunctionFromDecl(const std::string& decl);
    TIFPSConstant* AddConstant(const std::string& name, TTypeNo typesIndex);

    // ---- Messages (Compiler.cpp) ----
    // Record a message at the Parser's current token; the caller may move its Position.
    TIFPSPascalCompilerMessage& MakeError(std::uint8_t code, const std::string& param);
    TIFPSPascalCompilerMessage& MakeWarning(std::uint8_t code, const std::string& param);
    TIFPSPascalCompilerMessage& MakeHint(std::uint8_t code, const std::string& param);
    // Record an error and unwind to Compile.
    [[noreturn]] void Error(std::uint8_t code, const std::string& param = {});
    [[noreturn]] void Error(std::uint8_t code, const std::string& param, std::uint32_t position);
    // Record the error only when scanner is Parser (declaration texts of the host fail silently).
    [[noreturn]] void ErrorOn(const TIfPascalParser& scanner, std::uint8_t code, const std::string& param = {});
    [[noreturn]] void Fail(); // unwind without a message

    // ---- Types and names (TypeSpace.cpp) ----
    // The UsedTypes index of a Types entry, appending it (after what it refers to) on first use.
    TTypeNo UseType(TTypeNo typesIndex);
    // The UsedTypes index of an unnamed or standard type of that kind (Ext 0), made when missing.
    TTypeNo GetTypeForBase(std::uint8_t kind);
    TTypeNo BooleanTypeNo() { return UseType(BooleanType); }
    TIFPSType* TypeAt(TTypeNo typesIndex) const;  // Types entry, null when out of range
    TIFPSType* UsedType(TTypeNo typeNo) const;    // UsedTypes entry, null when out of range
    std::uint8_t KindOf(TTypeNo typeNo) const;    // BaseType of a UsedTypes entry, 0 when none
    bool IsIntegerOrBoolean(TTypeNo typeNo) const;
    TTypeNo FindTypeIndex(const std::string& upperName) const; // Types index or -1
    // Does the procedure match the procedural type typeNo (results, then each of its parameters)?
    bool ProcTypeMatches(TTypeNo typeNo, std::uint32_t procNo) const;
    // Clashes of a new global name: "RESULT", any type, any Procs entry, global or constant.
    bool IsGlobalNameUsed(const std::string& upperName) const;

    // ---- Constants (ConstExpr.cpp) ----
    // CONST section: entered at CONST, leaves the token after the section.
    void ReadConstSection();
    // A constant expression up to terminator (or a general terminator, which stays current);
    // the value's VType is a Types index.
    TIfRVariant ReadConstExpr(TPasToken terminator);
    // The joined text of the string and character tokens from the current one on.
    std::string ReadStringLiteral();

    // ---- Type rules and folding (TypeRules.cpp); type numbers are UsedTypes indices ----
    // The result type of left op right, or -1 (the caller reports error 14). May add the
    // warnings about constant Boolean operands.
    TTypeNo ResultTypeOf(const TOperandInfo& left, const TOperandInfo& right, TOperator op);
    // left := left op right; errors (14, 37, 38, 15) are reported at rightPos and unwind.
    void FoldConstants(TTypeSpace space, TOperator op, TIfRVariant& left, const TIfRVariant& right,
                       std::uint32_t rightPos);
    // NOT or negation of a constant of the expression parser, in place; error 14 unwinds.
    void FoldUnary(TIfRVariant& value, TUnaryOp op);
    bool IsCompatible(TTypeNo dest, TTypeNo src);
};

} // namespace lumivar::script
