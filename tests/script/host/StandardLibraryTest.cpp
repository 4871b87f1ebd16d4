// The standard routines called on hand-built stacks laid out as the compiler pushes them
// (parameters last first, a function's result slot on top), and the table's declarations.
#include "script/host/StandardLibrary.h"

#include "script/runtime/CallDeclaration.h"

#include <gtest/gtest.h>

#include <deque>

namespace lumivar::script {
namespace {

class StandardLibraryTest : public testing::Test {
protected:
    ~StandardLibraryTest() override { Clear(); }
    void Clear() {
        for (TIFValue* v : stack)
            ReleaseValue(exec.Pool(), v);
        stack.clear();
    }
    TIFValue* Push(TValueKind kind) {
        stack.push_back(CreateValue(exec.Pool(), &types.emplace_back(MakeTypeRec(kind))));
        return stack.back();
    }
    TIFValue* PushText(std::string text) {
        TIFValue* v = Push(vkString);
        SetString(*v, std::move(text));
        return v;
    }
    TIFValue* PushInt(TValueKind kind, std::int64_t n) {
        TIFValue* v = Push(kind);
        SetInteger(*v, n);
        return v;
    }
    bool Call(std::string_view name) {
        for (const TStandardRoutine& r : StandardRoutines())
            if (r.Name == name) return r.Handler(exec, proc, exec.Globals(), stack);
        ADD_FAILURE() << "no routine " << name;
        return false;
    }

    TScriptExec exec;
    TIFProcEntry proc;
    std::deque<TIFTypeRec> types;
    TIFValueList stack;
};

TEST_F(StandardLibraryTest, StrGetReadsOneBasedAndRefusesOutsideTheString) {
    for (std::int64_t index : {1, 3, 0, 4, -1}) {
        Clear();
        PushInt(vkS32, index);
        PushText("abc");
        TIFValue* result = PushInt(vkU8, 0);
        const bool inside = index >= 1 && index <= 3;
        EXPECT_EQ(Call("STRGET"), inside) << index;
        if (inside) {
            EXPECT_EQ(GetInteger(*result), "abc"[index - 1]);
        }
    }
}

TEST_F(StandardLibraryTest, StrSetWritesACopyOfASharedString) {
    TIFValue* s = PushText("abc");
    const auto shared = s->Text;
    PushInt(vkU8, 2);
    PushInt(vkU8, 'X');
    ASSERT_TRUE(Call("STRSET"));
    EXPECT_EQ(GetString(*s), "aXc");
    EXPECT_EQ(*shared, "abc");
    SetInteger(*stack[1], 4);
    EXPECT_FALSE(Call("STRSET"));
    EXPECT_EQ(GetString(*s), "aXc");
}

TEST_F(StandardLibraryTest, SetAndGetArrayLength) {
    const TIFTypeRec& element = types.emplace_back(MakeTypeRec(vkVariant));
    const TIFTypeRec& arrayType = types.emplace_back(MakeArrayTypeRec(element));
    PushInt(vkS32, 3);
    stack.push_back(CreateValue(exec.Pool(), &arrayType));
    TIFValue* array = stack.back();
    ASSERT_TRUE(Call("SETARRAYLENGTH"));
    EXPECT_EQ(GetArrayLength(*array), 3u);
    SetInteger(*stack[0], -1);
    EXPECT_FALSE(Call("SETARRAYLENGTH"));
    ReleaseValue(exec.Pool(),
                 stack.front()); // GetArrayLength(var Arr): the array, then the result slot
    stack.erase(stack.begin());
    TIFValue* result = PushInt(vkS32, 0);
    ASSERT_TRUE(Call("GETARRAYLENGTH"));
    EXPECT_EQ(GetInteger(*result), 3);
}

TEST_F(StandardLibraryTest, StringRoutines) {
    PushInt(vkS32, 10); // Count
    PushInt(vkS32, 2);  // Index
    PushText("hello");
    TIFValue* part = Push(vkString);
    ASSERT_TRUE(Call("COPY"));
    EXPECT_EQ(GetString(*part), "ello");
    SetInteger(*stack[1], 6);
    ASSERT_TRUE(Call("COPY"));
    EXPECT_EQ(GetString(*part), "");

    Clear();
    PushText("hello");
    PushText("ll");
    TIFValue* at = PushInt(vkS32, -1);
    ASSERT_TRUE(Call("POS"));
    EXPECT_EQ(GetInteger(*at), 3);

    Clear();
    PushText("hello");
    TIFValue* length = PushInt(vkS32, 0);
    ASSERT_TRUE(Call("LENGTH"));
    EXPECT_EQ(GetInteger(*length), 5);

    Clear();
    PushInt(vkS32, -42);
    TIFValue* text = Push(vkString);
    ASSERT_TRUE(Call("INTTOSTR"));
    EXPECT_EQ(GetString(*text), "-42");
}

TEST_F(StandardLibraryTest, TooFewStackValuesFailTheCall) {
    Push(vkU8);
    EXPECT_FALSE(Call("STRGET"));
    EXPECT_FALSE(Call("STRSET"));
}

TEST(StandardRoutines, EveryHeaderReadsAndNamesMatchTheHeader) {
    for (const TStandardRoutine& r : StandardRoutines()) {
        EXPECT_TRUE(CallDeclarationFromHeader(r.Declaration).has_value()) << r.Declaration;
        EXPECT_NE(r.Handler, nullptr);
    }
    TScriptExec exec;
    RegisterStandardRoutines(exec);
    const TIFRegisteredProc* strGet = exec.FindRegisteredProc("STRGET");
    ASSERT_NE(strGet, nullptr);
    EXPECT_EQ(strGet->Declaration, std::string("\1\1\0", 3));
    EXPECT_NE(exec.FindRegisteredProc("!ASSIGNED"), nullptr);
    EXPECT_EQ(exec.FindRegisteredProc("strget"), nullptr); // names compare case-sensitively
}

} // namespace
} // namespace lumivar::script
