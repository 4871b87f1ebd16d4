// TExprNode: one node of an expression tree, built by the expression parser and turned into
// instructions by the code generator. A node owns its children (operands, arguments, index
// expressions, the node a temporary replaces), so dropping the root of a failed expression
// frees all of it.
#pragma once

#include "script/compiler/CompilerModel.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace lumivar::script {

enum TNodeKind : std::uint8_t {
    nkVariable = 0,    // Address, Path
    nkConstant = 1,    // Value (VType a UsedTypes index)
    nkVarRef = 2,      // as nkVariable: a VAR argument, the base string of a character index
    nkCall = 3,        // ProcNo, Args
    nkCalc = 4,        // Left Op Right, ResultType
    nkTemp = 5,        // Address of a compiler temporary
    nkPrepared = 6,    // Address of a temporary holding the value of Inner (the replaced node)
    nkProcVarCall = 11, // Inner = the procedural variable, Args
    nkProcRef = 12,    // ProcNo (@Name)
    nkArrayCtor = 13,  // Elements
    nkTempResult = 14, // Address of a temporary holding a built array or a NIL conversion
    nkNil = 15,        // NIL
    nkCast = 16,       // ResultType = target type, Inner = the converted node
};

enum TNodeFlag : std::uint8_t {
    nfNot = 1,
    nfNegate = 2,
    nfNoTypeCheck = 4,  // a destination that takes any value (casts)
    nfExplicitType = 8, // ExplicitType overrides every other typing rule
};

// Selector kinds of a variable's element path.
enum TSelectorKind : std::uint8_t {
    pkField = 0,       // Value = the field's cell number in its record
    pkConstIndex = 1,  // Value = constant array index
    pkVarIndex = 2,    // Index = the index expression
    pkPointerTemp = 3, // Value = address of the pointer temporary that ends the whole path
};

struct TExprNode;
using TNodePtr = std::unique_ptr<TExprNode>;

struct TSelector {
    std::uint8_t Kind = pkField;
    TTypeNo Type = kNoType; // the type the selector yields
    std::uint32_t Value = 0;
    TNodePtr Index;         // pkVarIndex only
};

struct TArgument {
    TNodePtr Node;
    TTypeNo DeclaredType = kNoType; // the parameter's type number; -1 = untyped
    std::uint32_t Position = 0;
};

struct TExprNode {
    TNodeKind Kind = nkConstant;
    std::uint8_t Flags = 0;
    TTypeNo ExplicitType = kNoType;
    std::uint32_t Position = 0;

    std::uint32_t Address = 0;       // variables and temporaries
    std::vector<TSelector> Path;     // variables
    std::vector<TSelector> SavedPath; // the path a pointer temporary stands for, restored on release
    TIfRVariant Value;               // constants
    std::vector<TArgument> Args;     // calls
    std::uint32_t ProcNo = 0;        // calls, procedure references
    std::uint8_t Op = 0;             // calculations: TOperator
    TTypeNo ResultType = kNoType;    // calculations; the target of a cast
    TNodePtr Left, Right;            // calculations
    TNodePtr Inner;                  // cast operand, procedural variable, replaced node
    std::vector<TNodePtr> Elements;  // array constructor

    bool IsVariableLike() const {
        return Kind == nkVariable || Kind == nkVarRef || Kind == nkTemp || Kind == nkPrepared ||
               Kind == nkTempResult;
    }
};

inline TNodePtr MakeNode(TNodeKind kind, std::uint32_t position) {
    auto n = std::make_unique<TExprNode>();
    n->Kind = kind;
    n->Position = position;
    return n;
}

} // namespace lumivar::script
