// The compiler's records: types, record fields, procedural types, constants, variables,
// registered and script procedures, and the compile lists that own them for one compile.
// Every list owns its records (std::unique_ptr), so a compile that ends in any way frees them
// all by dropping one TCompileLists object; pointers to records stay valid while it lives.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace lumivar::script {

// A type number: an index in Types or in UsedTypes (the caller says which); -1 = none.
using TTypeNo = std::int32_t;
inline constexpr TTypeNo kNoType = -1;

// Type kinds (TIFPSType::BaseType). Kinds 0x80 and above exist only in the compiler; the image
// writer maps them onto value kinds.
enum TBaseType : std::uint8_t {
    btU8 = 1,         // BYTE
    btS8 = 2,         // SHORTINT
    btU16 = 3,        // WORD
    btS16 = 4,        // SMALLINT
    btU32 = 5,        // LONGWORD
    btS32 = 6,        // LONGINT
    btSingle = 7,     // SINGLE
    btDouble = 8,     // DOUBLE
    btExtended = 9,   // EXTENDED
    btString = 10,    // STRING, PCHAR (Ext = 1)
    btRecord = 11,    // record: Fields
    btArray = 12,     // dynamic array: Ext = element type
    btPointer = 13,   // pointer temporaries of the code generator only
    btVariant = 16,   // VARIANT
    btS64 = 17,       // INT64
    btClass = 0x80,   // host class type: ClassType
    btEnum = 0x81,    // enumeration (BOOLEAN is one): Ext = highest ordinal
    btProcPtr = 0x82, // procedural type: ProcType
    btChar = 0xFE,    // CHAR
    btAlias = 0xFF,   // INTEGER, CARDINAL and every "type X = Y": AliasOf
};

constexpr bool IsIntegerKind(std::uint8_t k) { return (k >= btU8 && k <= btS32) || k == btS64; }
constexpr bool IsRealKind(std::uint8_t k) { return k >= btSingle && k <= btExtended; }
constexpr bool IsNumericKind(std::uint8_t k) { return (k >= btU8 && k <= btExtended) || k == btS64; }

// Operator codes of expressions and constant expressions. 0..9 are also the calculation kinds
// of ocCalc, 10..15 minus 10 the comparison kinds of ocCompare: keep the order.
enum TOperator : std::uint8_t {
    opAdd = 0, opSub, opMul, opDiv, opMod, opShl, opShr, opAnd, opOr, opXor,
    opGE = 10, opLE, opGT, opLT, opNE, opEQ,
};
inline constexpr std::uint8_t kFirstCompareOp = opGE;
static_assert(opXor == 9 && opEQ == 15);

// The two prefix operations that constant folding applies to a single constant.
enum class TUnaryOp : std::uint8_t { Not, Negate };

// A typed constant value: VType is a Types index in declarations and constant expressions,
// a UsedTypes index inside code expressions. Data holds raw little-endian bytes: 4 for integer
// and enumeration literals, 10 (x87 extended) for reals, the characters for strings; folded
// values keep the width of their type.
struct TIfRVariant {
    TTypeNo VType = kNoType;
    std::string Data;
};

// One field of a record type. Offset is the field's cell number in its own record (its index:
// the executor keeps a nested record as one value, so cells are never flattened across records).
struct TIFPSRecordType {
    std::uint32_t NameHash = 0;
    std::string FieldName;
    std::uint32_t Offset = 0;
    TTypeNo FieldType = kNoType; // Types index until the record is used, UsedTypes index after
};

// The signature of a procedural type: a declaration string (see DeclString.h).
struct TIFPSProceduralType {
    std::string Decl; // Types indices until the type is used, UsedTypes indices after
};

class TIFPSClassType;

struct TIFPSType {
    std::uint32_t NameHash = 0;
    std::string Name;           // upper case; empty for anonymous types
    std::uint8_t BaseType = 0;  // TBaseType
    std::int32_t DeclarePos = -1;
    std::uint8_t Used = 0;      // 1 once the type is in UsedTypes
    std::uint32_t Size = 1;     // value cells: records their field count, TYPE-section aliases 0
    std::vector<TIFPSRecordType> Fields; // records only
    std::uint8_t ExportName = 0;         // 1 = the image carries the name
    // By kind: enumeration the highest ordinal; array the element type (Types index until the
    // array is used, UsedTypes index after; -1 none); string 1 for PCHAR; 0 otherwise.
    std::int32_t Ext = 0;
    TIFPSType* AliasOf = nullptr;                   // alias: the (non-alias) type it stands for
    std::unique_ptr<TIFPSProceduralType> ProcType;  // procedural type
    std::unique_ptr<TIFPSClassType> ClassType;      // host class type

    // Out of line: the class type object is complete only where ClassType.h is included.
    TIFPSType();
    ~TIFPSType();
    // What GetTypeForBase looks for: a type of this kind with nothing in its extension.
    bool HasEmptyExt() const { return Ext == 0 && !AliasOf && !ProcType && !ClassType; }
};

struct TIFPSConstant {
    std::uint32_t NameHash = 0;
    std::string Name;
    TIfRVariant Value;
};

// A global variable; its index in Vars is its number in the image.
struct TIFPSVar {
    std::uint32_t NameHash = 0;
    std::string Name;
    TTypeNo VarType = kNoType; // UsedTypes index
    std::uint8_t Used = 0;
    std::int32_t DeclarePos = -1;
    std::string ExportName;    // written into the image when not empty
};

// A local variable or a compiler temporary (empty name) of a script procedure. Entry i lives
// in the stack slot 0x60000001 + i.
struct TIFPSProcVar {
    std::uint32_t NameHash = 0;
    std::string Name;
    TTypeNo VarType = kNoType; // UsedTypes index
    std::uint8_t Used = 0;
    std::uint8_t Reserved = 0;
    std::int32_t DeclarePos = -1;
};

// A procedure registered by the host (AddFunctionFromDecl) or declared EXTERNAL.
struct TIFPSRegProc {
    std::uint32_t NameHash = 0;
    std::string Name;
    std::string Decl;       // Types indices until imported into Procs, UsedTypes indices after
    std::uint8_t ExportName = 0; // 1 = the image entry carries the name
    std::string ExportDecl;      // not empty: the image entry carries this text too (flags 3)
};

// A label of a script procedure: its code position (kLabelNotPlaced until placed) and name.
struct TLabelEntry {
    std::uint32_t Position = 0xFFFFFFFF;
    std::uint32_t NameHash = 0;
    std::string Name;
};
inline constexpr std::uint32_t kLabelNotPlaced = 0xFFFFFFFF;

// A GOTO waiting for its label: the code position just after the jump's offset operand.
struct TGotoEntry {
    std::uint32_t Position = 0;
    std::uint32_t LabelIndex = 0;
};

struct TIFPSProcedure {
    std::uint8_t Internal = 1;
    std::uint8_t Forwarded = 0;        // 1 while only a FORWARD declaration exists
    std::string Code;                  // the instructions
    std::uint32_t NameHash = 0;
    std::string Decl = "-1";           // declaration string with UsedTypes indices
    std::string Name;                  // "!MAIN" for the main block
    std::vector<TIFPSProcVar> ProcVars; // locals, then the live temporaries
    std::uint8_t Reserved = 0;
    std::int32_t DeclarePos = -1;
    std::uint32_t OutputPos = 0;       // offset of the procedure's record in the image
    std::uint8_t ResultUsed = 0;
    std::uint8_t ExportMode = 0;       // 0 none, 1 name (EXPORT), 2 name and declaration (@P)
    std::vector<TLabelEntry> Labels;
    std::vector<TGotoEntry> Gotos;
};

// One entry of Procs: a script procedure, or an imported one that refers to its registration.
struct TProcEntry {
    std::unique_ptr<TIFPSProcedure> Script; // set for a script procedure
    TIFPSRegProc* Import = nullptr;         // set for an import; owned by RegProcs

    bool IsScript() const { return Script != nullptr; }
    const std::string& Name() const { return Script ? Script->Name : Import->Name; }
    std::uint32_t NameHash() const { return Script ? Script->NameHash : Import->NameHash; }
    const std::string& Decl() const { return Script ? Script->Decl : Import->Decl; }
};

// The lists that exist only while a compile is under way; dropping the object frees every
// compile-time record.
struct TCompileLists {
    std::vector<std::unique_ptr<TIFPSRegProc>> RegProcs;
    std::vector<std::unique_ptr<TIFPSConstant>> Constants;
    std::vector<TProcEntry> Procs;                // index = procedure number in the image
    std::vector<std::unique_ptr<TIFPSType>> Types; // every type known to the compile
    std::vector<TIFPSType*> UsedTypes;            // index = type number in the image
    std::vector<std::unique_ptr<TIFPSVar>> Vars;  // index = global variable number
};

} // namespace lumivar::script
