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
#include "script/compiler/DeclString.h"
#include "script/compiler/ExprNode.h"
#include "script/compiler/Messages.h"
#include "script/compiler/Scanner.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace lumivar::script {

class TScriptCompiler;

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
    TTypeNo IndexInTypes(const TIFPSType* type) const; // -1 when not in Types
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

    // ==== The rest is the compiler's own machinery ====

    // ---- The procedure being compiled ----
    TIFPSProcedure* CurProc = nullptr;
    std::uint32_t CurProcNo = 0;
    TDecl CurDecl; // CurProc's declaration string, parsed
    // Pending jumps of the innermost loop (null outside loops): positions just after offsets.
    std::vector<std::uint32_t>* BreakList = nullptr;
    std::vector<std::uint32_t>* ContinueList = nullptr;
    bool ScannerFailed = false; // the scanner reported an error during this compile

    // Expressions, blocks and types are compiled by recursion, and the depth of an expression
    // tree grows with its operators. Nesting counts the levels open now (each expression,
    // each of its operators, each block, each type); beyond kMaxNesting the compile fails with
    // internal error "0001D" rather than exhausting the stack (a few frames of a few hundred
    // bytes per level: well inside the 8 MiB of a main thread, sanitizers included).
    static constexpr std::uint32_t kMaxNesting = 1000;
    std::uint32_t Nesting = 0;
    // Opens levels for the guard's lifetime; the error goes through ErrorOn(scanner).
    class TNesting {
    public:
        TNesting(TCompilerCore& core, const TIfPascalParser& scanner) : Core(core), Scanner(scanner) { Add(1); }
        explicit TNesting(TCompilerCore& core) : TNesting(core, core.Parser) {}
        ~TNesting() { Core.Nesting -= Levels; }
        TNesting(const TNesting&) = delete;
        TNesting& operator=(const TNesting&) = delete;
        void Add(std::uint32_t levels) {
            if (Core.Nesting + levels > kMaxNesting) Core.ErrorOn(Scanner, ceInternalError, "0001D");
            Core.Nesting += levels;
            Levels += levels;
        }

    private:
        TCompilerCore& Core;
        const TIfPascalParser& Scanner;
        std::uint32_t Levels = 0;
    };

    // ---- Driver (Compiler.cpp) ----
    void DeclareStandardTypes();
    void CallOnUses(const std::string& unitName);
    void ReadTopLevel();
    void ReadProgramHeader();
    void CheckForwards();
    void HintUnusedGlobals();

    // ---- Declarations (Declarations.cpp) ----
    void ReadIdentList(std::uint8_t separatorError, const std::function<void()>& take);
    void ReadUses();
    void ReadTypeSection();
    // One type from scanner p (Parser, or a private scanner over a registered declaration
    // text): a Types index. name: the name being declared, empty for an anonymous type.
    TTypeNo ReadType(const std::string& name, TIfPascalParser& p);
    TTypeNo ReadEnumType(const std::string& name, TIfPascalParser& p);
    TTypeNo ReadArrayType(const std::string& name, TIfPascalParser& p);
    TTypeNo ReadRecordType(const std::string& name, TIfPascalParser& p);
    TTypeNo ReadProcType(const std::string& name, TIfPascalParser& p);
    TDecl ReadSignature(TIfPascalParser& p, bool isFunction);
    TTypeNo ReadTypeName(const std::string& name, TIfPascalParser& p);
    TTypeNo AppendType(std::unique_ptr<TIFPSType> type);
    void ReadVarSection(TIFPSProcedure* proc, std::uint32_t procNo); // proc null: globals
    void ReadLabelSection(TIFPSProcedure& proc, std::uint32_t procNo);
    void ReadProcDecl();
    TDecl ReadProcHeader(const std::string& name, bool isFunction, const TIFPSProcedure* forwarded, std::uint32_t procNo);
    TTypeNo ReadNameGroup(std::vector<std::string>& names, const std::function<void(const std::string&)>& check);
    void CompileProcBody(TIFPSProcedure& proc, std::uint32_t procNo);
    TIFPSProcedure& NewProc(const std::string& name);
    bool IsLocalNameUsed(const TIFPSProcedure& proc, const std::string& name, std::uint32_t hash) const;
    bool IsLabelNameUsed(const TIFPSProcedure& proc, const std::string& name, std::uint32_t hash) const;
    bool IsParamNameUsed(const TIFPSProcedure& proc, const std::string& name) const;
    void BeginProc(TIFPSProcedure& proc, std::uint32_t procNo);

    // ---- Expressions (Expressions.cpp, Designators.cpp) ----
    // ResolveIdentifier modes.
    enum TResolveMode : std::uint8_t { rmAny = 0, rmVariable = 1, rmStatement = 2 };
    // An expression up to terminator or a general terminator (";" "," ")" "]" ELSE END TO).
    TNodePtr ParseExpression(TPasToken terminator);
    TNodePtr ParseOperand();
    TNodePtr ParseIntegerLiteral();
    TNodePtr ParseArrayCtor(std::uint8_t prefix);
    TNodePtr ParseBuiltinCall(std::uint8_t prefix);
    TNodePtr ParseLowHigh(bool high);
    TNodePtr ParseAssigned(std::uint8_t prefix);
    TNodePtr ParseProcRef();
    void ReduceExpression(std::vector<TNodePtr>& operands, std::vector<std::uint8_t>& ops);
    TNodePtr Combine(TNodePtr left, std::uint8_t op, TNodePtr right);
    TNodePtr ResolveIdentifier(TResolveMode mode);
    TNodePtr ParseDesignatorTail(TNodePtr node);
    TNodePtr ParseSelectors(TNodePtr node);
    TNodePtr ParseStringIndex(TNodePtr node);
    TNodePtr ParseClassMember(TNodePtr node);
    TNodePtr ParseProperty(TNodePtr object, TIFPSClassType& cls, std::uint32_t index);
    TNodePtr ParseTypeUse(TTypeNo typesIndex, std::uint32_t position);
    TNodePtr ParseCallArgs(std::uint32_t procNo, TNodePtr first, std::uint32_t position);
    TNodePtr ParseProcVarCallArgs(TNodePtr procVar);
    void ParseArgList(const TDecl& decl, std::vector<TArgument>& args);
    TNodePtr MakeVariable(std::uint32_t address, std::uint32_t position);
    TNodePtr MakeConstant(TTypeNo type, std::string data, std::uint32_t position);
    void AddArgument(TExprNode& call, TNodePtr arg, TTypeNo declaredType);
    std::uint32_t RequireProc(const std::string& name, const std::string& errorParam);
    TTypeNo TypeOfNode(const TExprNode& node);
    TTypeNo TypeOfAddress(std::uint32_t address);
    TTypeNo CallResultType(const TExprNode& call);
    bool CheckAssignable(TExprNode& dest, TExprNode& src);
    TIFPSClassType* ClassOf(TTypeNo typeNo) const;
    void RetypeOneCharString(TExprNode& node);
    bool PassesNotTest(TTypeNo typeNo) const;

    // ---- Code generation (CodeGen.cpp, Calls.cpp) ----
    void Emit8(std::uint8_t v);
    void Emit32(std::uint32_t v);
    std::uint32_t CodePos() const;
    TNodePtr AllocTemp(TTypeNo type);
    TNodePtr AllocTempSilent(TTypeNo type);
    void FreeTemp(const TExprNode& temp);
    bool WriteOperand(const TExprNode& node, bool constantsAllowed);
    void WriteOperandOr(const TExprNode& node, bool constantsAllowed, const char* internalCode);
    void WriteConstant(const TIfRVariant& value);
    void PrepareOperand(TExprNode& node, TTypeNo target);
    void ReleaseOperand(TExprNode& node);
    void PrepareIntoTemp(TExprNode& node, TTypeNo type);
    void ApplyFlags(TExprNode& dest, std::uint8_t flags);
    void CompileInto(TExprNode& src, TExprNode& dest);
    void CompileCalc(TExprNode& src, TExprNode& dest);
    void CompileCompare(TExprNode& src, TExprNode& dest);
    void CompileProcRef(TExprNode& src, TExprNode& dest);
    void EmitCall(std::uint8_t flags, std::uint32_t procNo, std::vector<TArgument>& args, TExprNode* dest);
    void EmitProcVarCall(std::uint8_t flags, TExprNode& procVar, std::vector<TArgument>& args, TExprNode* dest);
    void EmitCallSequence(std::uint8_t flags, TTypeNo resultType, std::vector<TArgument>& args,
                          TExprNode* dest, TExprNode* procVar, std::uint32_t procNo);
    std::int32_t FindProc(const std::string& name);
    bool SameVar(const TExprNode& a, const TExprNode& b) const;
    bool MentionsVar(const TExprNode& tree, const TExprNode& var) const;
    bool NeedsPathPreparation(const TExprNode& node) const;

    // ---- Statements (Statements.cpp) ----
    enum TBlockKind : std::uint8_t {
        bkMain = 0, bkProcBody, bkCompound, bkStatement, bkThenPart, bkRepeatBody, bkTryBody, bkHandlerBody,
    };
    void CompileBlock(TBlockKind kind);
    void CompileAssignOrCall();
    void CompileIf();
    void CompileWhile();
    void CompileRepeat();
    void CompileFor();
    void CompileCase();
    void CompileTry();
    void CompileGoto();
    void CompileBreakContinue(bool isBreak);
    bool PlaceLabel();
    void ResolveGotos(TIFPSProcedure& proc);
    void CheckJumps(std::uint32_t from, std::uint32_t to);
    void DebugMarker();
    std::uint32_t EmitJumpPlaceholder(std::uint8_t opcode);
    void EmitJumpBack(std::uint32_t target);
    void EmitJumpFalse(const TExprNode& cond, const char* internalCode, std::uint32_t& offsetPos);
    void PatchJump(std::uint32_t offsetPos, std::uint32_t instructionEnd, std::uint32_t target);
    void PatchList(const std::vector<std::uint32_t>& list, std::uint32_t target);
    void Expect(TPasToken token, std::uint8_t errorCode);

    // ---- Image (ImageWriter.cpp) ----
    void CheckExports();
    void WriteImage();
    std::int32_t FindMainProc() const;
    std::string ReadableDecl(const std::string& decl) const;
    void WriteTypeRecord(const TIFPSType& type);
    void WriteDebugNames();
};

} // namespace lumivar::script
