// The compiler's paths through a host class type (kind 0x80), with a test double that
// answers every operation from a small table of routines registered from OnUses: class
// members, methods, properties with and without index, NIL, casts, comparisons,
// assignability, and the runtime type the image writer writes.
#include "CompileHelpers.h"

#include "script/compiler/ClassType.h"
#include "script/compiler/CompilerModel.h"
#include "script/compiler/ScriptCompiler.h"
#include "script/runtime/ImageFormat.h"

#include <gtest/gtest.h>

#include <map>

namespace lumivar::script::test {
namespace {

// A class whose members are routines named "<CLASS>_<MEMBER>"; properties read through
// "<CLASS>_GET<NAME>" and write through "<CLASS>_SET<NAME>".
class TTestClass : public TIFPSClassType {
public:
    TTestClass(TScriptCompiler& compiler, std::string name, TTypeNo runtimeType)
        : Compiler(compiler), Name(std::move(name)), Runtime(runtimeType) {}

    TTypeNo Self = kNoType; // this class's type number, once used
    std::map<std::string, std::string> Properties; // name -> declaration ("type [@NAME type ...]")

    TTypeNo RuntimeTypeOf() override { return Runtime; }
    bool FindClassMember(const std::string& name, std::uint32_t& index) override { return Member("CLASS_" + name, index); }
    bool ClassMemberProc(std::uint32_t index, std::uint32_t& procNo) override { return Proc(index, procNo); }
    bool FindMethod(const std::string& name, std::uint32_t& index) override { return Member(name, index); }
    bool MethodProc(std::uint32_t index, std::uint32_t& procNo) override { return Proc(index, procNo); }
    bool FindProperty(const std::string& name, std::uint32_t& index) override {
        if (!Properties.count(name)) return false;
        index = static_cast<std::uint32_t>(Names.size());
        Names.push_back(name);
        return true;
    }
    bool PropertyDecl(std::uint32_t index, std::string& decl) override {
        decl = Properties.at(Names.at(index));
        return true;
    }
    bool PropertyReadProc(std::uint32_t index, std::uint32_t& procNo) override {
        return ProcByName("GET" + Names.at(index), procNo);
    }
    bool PropertyWriteProc(std::uint32_t index, std::uint32_t& procNo) override {
        return ProcByName("SET" + Names.at(index), procNo);
    }
    bool IsAssignableFrom(TTypeNo src) override { return src == Self; }
    bool NilProc(std::uint32_t& procNo) override { return ProcByName("NIL", procNo); }
    bool CastProc(TTypeNo, TTypeNo, std::uint32_t& procNo) override { return ProcByName("CAST", procNo); }
    bool CompareProc(TTypeNo, std::uint32_t& procNo) override { return ProcByName("EQUAL", procNo); }

private:
    bool Member(const std::string& name, std::uint32_t& index) {
        if (Compiler.FindProc(Name + "_" + name) < 0) return false;
        index = static_cast<std::uint32_t>(Names.size());
        Names.push_back(name);
        return true;
    }
    bool Proc(std::uint32_t index, std::uint32_t& procNo) { return ProcByName(Names.at(index), procNo); }
    bool ProcByName(const std::string& member, std::uint32_t& procNo) {
        const std::int32_t p = Compiler.FindProc(Name + "_" + member);
        if (p < 0) return false;
        procNo = static_cast<std::uint32_t>(p);
        return true;
    }

    TScriptCompiler& Compiler;
    std::string Name;
    TTypeNo Runtime;
    std::vector<std::string> Names;
};

// Registers TOBJ and TOTHER with their routines.
void RegisterClasses(TScriptCompiler& compiler) {
    compiler.OnUses = [](TScriptCompiler& c, const std::string& unit) {
        if (unit != "SYSTEM") return true;
        const TTypeNo handle = c.AddType("TObjHandle", vkResourcePointer) ? c.FindType("TObjHandle") : kNoType;
        for (const char* name : {"TOBJ", "TOTHER"}) {
            auto object = std::make_unique<TTestClass>(c, name, handle);
            TTestClass& cls = *object;
            TIFPSType* type = c.AddClassType(name, std::move(object));
            type->ExportName = 1;
            cls.Self = c.UseType(c.FindType(name));
            cls.Properties["COUNT"] = std::to_string(c.UseType(c.FindType("LONGINT")));
            cls.Properties["ITEMS"] = std::to_string(c.UseType(c.FindType("STRING"))) + " @I " +
                                      std::to_string(c.UseType(c.FindType("LONGINT")));
            cls.Properties["SINK"] = std::to_string(c.UseType(c.FindType("LONGINT")));
        }
        for (const char* decl : {
                 "function TObj_Class_Create: Longint;",
                 "procedure TObj_Free;",
                 "function TObj_Add(A: Longint): Longint;",
                 "function TObj_GetCount: Longint;",
                 "procedure TObj_SetCount(N: Longint);",
                 "function TObj_GetItems(I: Longint): String;",
                 "procedure TObj_SetSink(N: Longint);",
                 "procedure TObj_Nil(var O: TObj);",
                 "function TObj_Cast(T: Longword): TObj;",
                 "function TObj_Equal(A: TObj; B: TObj): Boolean;",
             })
            c.AddFunctionFromDecl(decl);
        return true;
    };
}

std::string Compiled(const std::string& script, std::string* image = nullptr) {
    TScriptCompiler compiler;
    RegisterClasses(compiler);
    if (!compiler.Compile(script)) return "failed: " + MessagesOf(compiler);
    if (image) compiler.GetOutput(*image);
    const auto listed = ImageOf(compiler);
    return listed ? ListCode(*listed, 0) : "unreadable";
}

// Type numbers from the registration: TOBJ 0, LONGINT 1, STRING 2, TOTHER 3; then LONGWORD 4.
const std::pair<const char*, const char*> kClassCases[] = {
    {"var O: TObj; begin O := TObj.Create; end.",
     R"(0 ocPushType 4
5 ocAssign L1, #4:0
20 ocPushRef G0
26 ocCall 1
31 ocPop
32 ocPop
33 ocReturn
)"},
    {"var O: TObj; N: Integer; begin N := O.Count; O.Count := 5; N := O.Add(2); O.Free; end.",
     R"(0 ocPushType 0
5 ocAssign L1, G0
16 ocPushRef G1
22 ocCall 1
27 ocPop
28 ocPop
29 ocPushType 1
34 ocAssign L1, #1:5
49 ocPushType 0
54 ocAssign L2, G0
65 ocCall 2
70 ocPop
71 ocPop
72 ocPushType 1
77 ocAssign L1, #1:2
92 ocPushType 0
97 ocAssign L2, G0
108 ocPushRef G1
114 ocCall 3
119 ocPop
120 ocPop
121 ocPop
122 ocPushType 0
127 ocAssign L1, G0
138 ocCall 4
143 ocPop
144 ocReturn
)"},
    {"var O: TObj; S: String; begin S := O.Items[3]; end.",
     R"(0 ocPushType 1
5 ocAssign L1, #1:3
20 ocPushType 0
25 ocAssign L2, G0
36 ocPushRef G1
42 ocCall 1
47 ocPop
48 ocPop
49 ocPop
50 ocReturn
)"},
    {"var O: TObj; begin O := nil; end.",
     R"(0 ocPushType 0
5 ocPushRef L1
11 ocCall 1
16 ocPop
17 ocAssign G0, L1
28 ocPop
29 ocReturn
)"},
    {"var O, P: TObj; B: Boolean; begin B := O <> P; end.",
     R"(0 ocPushType 0
5 ocAssign L1, G1
16 ocPushType 0
21 ocAssign L2, G0
32 ocPushRef G2
38 ocCall 1
43 ocPop
44 ocPop
45 ocPop
46 ocNot G2
52 ocReturn
)"},
    {"var O: TObj; P: TOther; begin O := TObj(P); end.",
     R"(0 ocPushType 4
5 ocAssign L1, #4:0
20 ocPushType 3
25 ocAssign L2, G1
36 ocPushRef G0
42 ocCall 1
47 ocPop
48 ocPop
49 ocPop
50 ocReturn
)"},
};

TEST(ClassType, CompilesMembersThroughTheClassObject) {
    for (const auto& [script, listing] : kClassCases) EXPECT_EQ(Compiled(script), listing) << script;
}

TEST(ClassType, Errors) {
    const std::pair<const char*, const char*> cases[] = {
        {"var O: TObj; S: String; begin O.Items[1] := S; end.", "failed: 45 1 34"},
        {"var O: TObj; N: Integer; begin N := O.Sink; end.", "failed: 42 1 33"},
        {"var O: TObj; begin O.Nothing; end.", "failed: 21 1 0 Nothing"},
        {"var O: TObj; begin O := TObj.Nothing; end.", "failed: 29 1 0 Nothing"},
        {"var I: Integer; begin I := Integer.Create; end.", "failed: 34 1 35"},
        {"var O: TObj; begin O := TObj; end.", "failed: 28 1 9"},
        {"var O: TObj; S: String; begin S := O.Items; end.", "failed: 42 1 32"},
        {"var O: TObj; P: TOther; begin O := P; end.", "failed: 35 1 14"},
        {"var O: TObj; begin O.Free(); end.", "ok"},
        // A declined comparison adds no message of the compiler's own.
        {"var O: TOther; P: TOther; B: Boolean; begin B := O = P; end.", "failed"},
    };
    for (const auto& [script, outcome] : cases) {
        TScriptCompiler compiler;
        RegisterClasses(compiler);
        const bool ok = compiler.Compile(script);
        EXPECT_EQ(OutcomeOf(compiler, ok), outcome) << script;
    }
}

TEST(ClassType, ImageWritesTheRuntimeTypeUnderTheClassName) {
    std::string bytes;
    Compiled("var O: TObj; begin end.", &bytes);
    const auto image = ReadImage(bytes);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->Types[0].Kind, vkResourcePointer);
    EXPECT_EQ(image->Types[0].ExportName, "TOBJ");
    EXPECT_EQ(image->Vars[0].Type, 0u);
}

} // namespace
} // namespace lumivar::script::test
