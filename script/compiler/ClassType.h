// The object behind a host-defined class type (type kind 0x80). The host supplies one per such
// type; the type record owns it. The compiler asks it, through these virtual operations in
// this order, everything it cannot know itself: the runtime type it stands for, its members,
// methods and properties, assignability, NIL, casts and comparisons. Every lookup answers
// false to decline; the compiler then reports its own error (none for a declined compare).
// Procedure numbers are entries of Procs (TScriptCompiler::FindProc imports a registered
// procedure); type numbers are UsedTypes indices (TScriptCompiler::UseType).
#pragma once

#include "script/compiler/CompilerModel.h"

#include <cstdint>
#include <string>

namespace lumivar::script {

class TIFPSClassType {
public:
    virtual ~TIFPSClassType() = default;

    // The Types index of the type that values of this class have at run time.
    virtual TTypeNo RuntimeTypeOf() = 0;
    // TypeName.Member: a class member (for instance a constructor) by upper-case name.
    virtual bool FindClassMember(const std::string& name, std::uint32_t& index) = 0;
    virtual bool ClassMemberProc(std::uint32_t index, std::uint32_t& procNo) = 0;
    // Object.Method: the object becomes the method's first argument.
    virtual bool FindMethod(const std::string& name, std::uint32_t& index) = 0;
    virtual bool MethodProc(std::uint32_t index, std::uint32_t& procNo) = 0;
    // Object.Property: decl is the type number, then, separated by blanks, the index
    // parameters in declaration-string form ("@NAME type" pairs).
    virtual bool FindProperty(const std::string& name, std::uint32_t& index) = 0;
    virtual bool PropertyDecl(std::uint32_t index, std::string& decl) = 0;
    virtual bool PropertyReadProc(std::uint32_t index, std::uint32_t& procNo) = 0;
    virtual bool PropertyWriteProc(std::uint32_t index, std::uint32_t& procNo) = 0;
    // May a value of type number src be stored in a variable of this class?
    virtual bool IsAssignableFrom(TTypeNo src) = 0;
    // The procedure that sets a variable of this class to NIL (its only, VAR, argument).
    virtual bool NilProc(std::uint32_t& procNo) = 0;
    // TypeName(x) where x has another class type argType; target is this class's type number.
    virtual bool CastProc(TTypeNo argType, TTypeNo target, std::uint32_t& procNo) = 0;
    // "=" / "<>" of this class (left) with a value of type number rightType.
    virtual bool CompareProc(TTypeNo rightType, std::uint32_t& procNo) = 0;
};

} // namespace lumivar::script
