// What the declaration readers record: types with their kinds, extensions, fields and
// aliases, the constants of enumerations, shared anonymous arrays, procedural types and
// procedure declaration strings, and the two numberings of types.
#include "CoreFixture.h"

#include "script/compiler/StringTools.h"

#include <gtest/gtest.h>

namespace lumivar::script::test {
namespace {

// Reads the sections of text (TYPE, VAR, procedures) into the fixture's lists.
bool ReadSections(CoreFixture& f, const std::string& text) {
    return f.Run([&](TCompilerCore& core) {
        core.Parser.SetText(text);
        core.NewProc("!MAIN");
        for (;;) {
            switch (core.Parser.Token) {
            case ttType: core.ReadTypeSection(); break;
            case ttVar: core.ReadVarSection(nullptr, 0); break;
            case ttProcedure:
            case ttFunction: core.ReadProcDecl(); break;
            default: return;
            }
        }
    });
}

const TIFPSType& Type(CoreFixture& f, const std::string& name) {
    return *f.Core.TypeAt(f.Core.FindTypeIndex(name));
}

TEST(Declarations, StandardTypesHaveFixedIndices) {
    CoreFixture f;
    const char* names[] = {"BYTE", "BOOLEAN", "CHAR", "SHORTINT", "WORD", "SMALLINT", "LONGINT", "INTEGER", "LONGWORD",
                           "CARDINAL", "STRING", "PCHAR", "SINGLE", "DOUBLE", "EXTENDED", "VARIANT", "TVARIANTARRAY", "INT64"};
    const std::uint8_t kinds[] = {1, 0x81, 0xFE, 2, 3, 4, 6, 0xFF, 5, 0xFF, 10, 10, 7, 8, 9, 16, 12, 17};
    for (TTypeNo i = 0; i < 18; ++i) {
        EXPECT_EQ(f.Core.FindTypeIndex(names[i]), i);
        EXPECT_EQ(f.Core.TypeAt(i)->BaseType, kinds[i]) << names[i];
    }
    EXPECT_EQ(f.Core.TypeAt(7)->AliasOf, f.Core.TypeAt(6));
    EXPECT_EQ(f.Core.TypeAt(9)->AliasOf, f.Core.TypeAt(8));
    EXPECT_EQ(f.Core.TypeAt(11)->Ext, 1);
    EXPECT_EQ(f.Core.TypeAt(16)->Ext, 15);
    EXPECT_EQ(f.Core.TypeAt(1)->Ext, 1);
    ASSERT_TRUE(f.Constant("TRUE"));
    EXPECT_EQ(f.Constant("TRUE")->Value.Data, IntToRaw4(1));
    EXPECT_TRUE(f.Core.Lists->UsedTypes.empty());
    // "!ASSIGNED" is registered, not imported, and no script can name it.
    ASSERT_EQ(f.Core.Lists->RegProcs.size(), 1u);
    EXPECT_EQ(f.Core.Lists->RegProcs[0]->Name, "!ASSIGNED");
    EXPECT_EQ(f.Core.Lists->RegProcs[0]->Decl, "1 @I 6");
}

TEST(Declarations, Enumeration) {
    CoreFixture f;
    ASSERT_TRUE(ReadSections(f, "type TColor = (Red, Green, Blue);"));
    const TIFPSType& t = Type(f, "TCOLOR");
    EXPECT_EQ(t.BaseType, btEnum);
    EXPECT_EQ(t.Ext, 2);
    const char* members[] = {"RED", "GREEN", "BLUE"};
    for (std::uint32_t i = 0; i < 3; ++i) {
        const TIFPSConstant* c = f.Constant(members[i]);
        ASSERT_TRUE(c);
        EXPECT_EQ(c->Value.VType, f.Core.FindTypeIndex("TCOLOR"));
        EXPECT_EQ(c->Value.Data, IntToRaw4(i));
    }
}

TEST(Declarations, AliasStandsForItsTarget) {
    CoreFixture f;
    ASSERT_TRUE(ReadSections(f, "type A = Integer; B = A; var X: A; Y: Longint;"));
    EXPECT_EQ(Type(f, "A").BaseType, btAlias);
    EXPECT_EQ(Type(f, "A").Size, 0u);
    EXPECT_EQ(Type(f, "A").AliasOf, &Type(f, "LONGINT"));
    EXPECT_EQ(Type(f, "B").AliasOf, &Type(f, "LONGINT"));
    EXPECT_EQ(f.Core.Lists->Vars[0]->VarType, f.Core.Lists->Vars[1]->VarType);
    EXPECT_EQ(f.Core.UsedType(f.Core.Lists->Vars[0]->VarType), &Type(f, "LONGINT"));
}

TEST(Declarations, AnonymousArraysOfOneElementTypeShareATypeRecord) {
    CoreFixture f;
    ASSERT_TRUE(ReadSections(f, "var P: array of Integer; Q: array of Integer; R: array of Byte;"));
    const auto& vars = f.Core.Lists->Vars;
    EXPECT_EQ(vars[0]->VarType, vars[1]->VarType);
    EXPECT_NE(vars[0]->VarType, vars[2]->VarType);
}

TEST(Declarations, NamedArrayIsANewType) {
    CoreFixture f;
    ASSERT_TRUE(ReadSections(f, "var P: array of Integer; type TA = array of Integer; var Q: TA;"));
    EXPECT_NE(f.Core.Lists->Vars[0]->VarType, f.Core.Lists->Vars[1]->VarType);
}

TEST(Declarations, RecordFieldsAreCellsOfTheirOwnRecord) {
    CoreFixture f;
    ASSERT_TRUE(ReadSections(f, "type R = record A, B: Byte; C: String; end; "
                                "O = record X: R; Y: Integer; end;"));
    const TIFPSType& r = Type(f, "R");
    ASSERT_EQ(r.Fields.size(), 3u);
    EXPECT_EQ(r.Size, 3u);
    for (std::uint32_t i = 0; i < 3; ++i) EXPECT_EQ(r.Fields[i].Offset, i);
    EXPECT_EQ(r.Fields[2].FieldName, "C");
    EXPECT_EQ(r.Fields[2].FieldType, f.Core.FindTypeIndex("STRING"));
    // The nested record counts as one cell.
    const TIFPSType& o = Type(f, "O");
    EXPECT_EQ(o.Size, 2u);
    EXPECT_EQ(o.Fields[1].Offset, 1u);
    EXPECT_EQ(o.Fields[1].FieldType, f.Core.FindTypeIndex("LONGINT"));
}

TEST(Declarations, UseTypeAddsWhatATypeRefersToFirst) {
    CoreFixture f;
    ASSERT_TRUE(ReadSections(f, "type E = (M1, M2); R = record F: array of E; end;"));
    TCompilerCore& core = f.Core;
    const TTypeNo r = core.UseType(core.FindTypeIndex("R"));
    ASSERT_EQ(core.Lists->UsedTypes.size(), 3u);
    EXPECT_EQ(core.Lists->UsedTypes[0], &Type(f, "E"));
    EXPECT_EQ(core.Lists->UsedTypes[1]->BaseType, btArray);
    EXPECT_EQ(core.Lists->UsedTypes[1]->Ext, 0);
    EXPECT_EQ(r, 2);
    EXPECT_EQ(Type(f, "R").Fields[0].FieldType, 1);
    EXPECT_EQ(core.UseType(core.FindTypeIndex("R")), 2);
    EXPECT_EQ(core.Lists->UsedTypes.size(), 3u);
}

TEST(Declarations, GetTypeForBaseFindsStringNotPChar) {
    CoreFixture f;
    const TTypeNo s = f.Core.GetTypeForBase(btString);
    EXPECT_EQ(f.Core.UsedType(s), f.Core.TypeAt(10));
    EXPECT_EQ(f.Core.GetTypeForBase(btString), s);
    // A kind without a standard type gets an unnamed one.
    const TTypeNo p = f.Core.GetTypeForBase(btPointer);
    EXPECT_EQ(f.Core.UsedType(p)->Name, "");
    EXPECT_EQ(f.Core.UsedType(p)->BaseType, btPointer);
}

TEST(Declarations, ProceduralTypeKeepsItsDeclarationString) {
    CoreFixture f;
    ASSERT_TRUE(ReadSections(f, "type TP = function(A: Integer; var S: String; const C: Byte): Boolean;"));
    TCompilerCore& core = f.Core;
    const TIFPSType& t = Type(f, "TP");
    EXPECT_EQ(t.BaseType, btProcPtr);
    EXPECT_EQ(t.ProcType->Decl, "1 @A 7 !S 10 @C 0");
    core.UseType(core.FindTypeIndex("TP"));
    // Used: every index is a type number now (BOOLEAN 0, LONGINT 1, STRING 2, BYTE 3).
    EXPECT_EQ(t.ProcType->Decl, "0 @A 1 !S 2 @C 3");
}

TEST(Declarations, ProcedureDeclarationStrings) {
    CoreFixture f;
    ASSERT_TRUE(ReadSections(f, "function F(A, B: Integer; var S: String): Byte; forward; "
                                "procedure P; begin end;"));
    const auto& procs = f.Core.Lists->Procs;
    ASSERT_EQ(procs.size(), 3u);
    EXPECT_EQ(procs[1].Script->Name, "F");
    EXPECT_EQ(procs[1].Script->Forwarded, 1);
    EXPECT_EQ(procs[1].Script->Decl, "2 @A 0 @B 0 !S 1");
    EXPECT_EQ(procs[2].Script->Decl, "-1");
}

TEST(Declarations, CompletingAForwardKeepsItsDeclaration) {
    CoreFixture f;
    ASSERT_TRUE(ReadSections(f, "function F(A: Integer): Integer; forward; "
                                "function F(B: Byte): Integer; begin Result := A; end;"));
    EXPECT_EQ(f.Core.Lists->Procs[1].Script->Forwarded, 0);
    EXPECT_EQ(f.Core.Lists->Procs[1].Script->Decl, "0 @A 0");
}

TEST(Declarations, ExportDirective) {
    CoreFixture f;
    ASSERT_TRUE(ReadSections(f, "procedure P; export; begin end;"));
    EXPECT_EQ(f.Core.Lists->Procs[1].Script->ExportMode, 1);
}

TEST(Declarations, TypeFromARegisteredTextFailsSilently) {
    CoreFixture f;
    EXPECT_EQ(f.Core.AddTypeFromDecl("T", "record A: Byte end"), nullptr);
    EXPECT_EQ(f.Core.AddTypeFromDecl("T", "(A, A)"), nullptr);
    EXPECT_EQ(f.Core.AddTypeFromDecl("T", "'x"), nullptr);
    EXPECT_TRUE(f.Core.Messages.empty());
    const TIFPSType* t = f.Core.AddTypeFromDecl("TPoint", "record X, Y: Integer; end");
    ASSERT_TRUE(t);
    EXPECT_EQ(t->Name, "TPOINT");
    EXPECT_EQ(t->Fields.size(), 2u);
}

} // namespace
} // namespace lumivar::script::test
