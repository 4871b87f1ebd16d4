// MessageToText for every code of every kind, with and without a parameter. The expected
// texts are UTF-8 here and compared in code page 1251, the form the compiler returns.
#include "script/compiler/Messages.h"

#include "script/runtime/Cp1251.h"

#include <gtest/gtest.h>

using namespace lumivar::script;

namespace {

struct TextCase {
    int kind;
    int code;
    const char* param;
    const char* text; // UTF-8
};

void PrintTo(const TextCase& c, std::ostream* os) { *os << "kind " << c.kind << " code " << c.code; }

const TextCase kTexts[] = {
    {1, 0, "Foo", "[Error] : Неизвестный идентификатор 'Foo'"},
    {1, 1, "P", "[Error] : Ожидается идентификатор"},
    {1, 2, "P", "[Error] : Ошибка Комментария"},
    {1, 3, "P", "[Error] : Строковая ошибка"},
    {1, 4, "P", "[Error] : Символьная ошибка"},
    {1, 5, "P", "[Error] : Синтаксическа ошибка"},
    {1, 6, "P", "[Error] : Неожиданный конец файла"},
    {1, 7, "P", "[Error] : Ожидается < ; >"},
    {1, 8, "P", "[Error] : Ожидается  < BEGIN >"},
    {1, 9, "P", "[Error] : Ожидается < . >"},
    {1, 10, "X", "[Error] : Дублирующий идентификатор 'X'"},
    {1, 10, "", "[Error] : Дублирующий идентификатор ''"},
    {1, 11, "P", "[Error] : Ожидается < : >"},
    {1, 12, "TFOO", "[Error] : Не известный тип 'TFOO'"},
    {1, 13, "P", "[Error] : Ожидается < ) >"},
    {1, 14, "P", "[Error] : Несоответствие типов"},
    {1, 15, "0001B", "[Error] : Внутренняя ошибка (0001B)"},
    {1, 16, "P", "[Error] : Ожидается присвоение"},
    {1, 17, "P", "[Error] : Ожидается < THEN >"},
    {1, 18, "P", "[Error] : Ожидается < DO >"},
    {1, 19, "P", "[Error] : Не результата"},
    {1, 20, "P", "[Error] : Ожидается < ( >"},
    {1, 21, "P", "[Error] : Ожидается < , >"},
    {1, 22, "P", "[Error] : Ожидается < TO >"},
    {1, 23, "P", "[Error] : Ожидается < = >"},
    {1, 24, "P", "[Error] : Ожидается < OF >"},
    {1, 25, "P", "[Error] : Ожидается < ] >"},
    {1, 26, "P", "[Error] : Ожидается переменная"},
    {1, 27, "P", "[Error] : Ожидается строка"},
    {1, 28, "P", "[Error] : Ожидается < END >"},
    {1, 29, "L1", "[Error] : Метка 'L1' не установлена"},
    {1, 30, "P", "[Error] : Вне цикла (Not in a loop)"},
    {1, 31, "P", "[Error] : Недействительный переход"},
    {1, 32, "P", "[Error] : Ожидается < [ >"},
    {1, 33, "P", "[Error] : Write-only property"},
    {1, 34, "P", "[Error] : Read-only property"},
    {1, 35, "P", "[Error] : Ожидается тип класса"},
    {1, 36, "Нет модуля", "[Error] : Нет модуля"},
    {1, 36, "", "[Error] : "},
    {1, 37, "P", "[Error] : Деление на ноль"},
    {1, 38, "overflow", "[Error] : Математическая ошибка"},
    {1, 39, "FOO", "[Error] : Неразрешенное объявление FOO"},
    {1, 40, "P", "[Error] : Неизвестная ошибка"},
    {1, 200, "P", "[Error] : Неизвестная ошибка"},
    {1, 255, "P", "[Error] : Неизвестная ошибка"},
    {0, 0, "False", "[Warning] : Calculation always evaluates to False"},
    {0, 1, "\"True and\"", "[Warning] : \"True and\" is not needed"},
    {0, 2, "own text", "[Warning] : own text"},
    {0, 3, "P", "[Warning] : "},
    {0, 255, "P", "[Warning] : "},
    {2, 0, "X", "[Hint] : Variable 'X' never used"},
    {2, 1, "F", "[Hint] : Function 'F' never used"},
    {2, 2, "own hint", "[Hint] : own hint"},
    {2, 3, "P", "[Hint] : Unknown hint"},
    {2, 9, "P", "[Hint] : Unknown hint"},
    {3, 0, "P", "Unknown message"},
    {5, 7, "P", "Unknown message"},
    {255, 0, "P", "Unknown message"},
};

class MessageText : public testing::TestWithParam<TextCase> {};

TEST_P(MessageText, Text) {
    const TextCase& c = GetParam();
    TIFPSPascalCompilerMessage m;
    m.Kind = std::uint8_t(c.kind);
    m.Code = std::uint8_t(c.code);
    m.Param = Utf8ToCp1251(c.param);
    EXPECT_EQ(Cp1251ToUtf8(MessageToText(m)), c.text);
}

INSTANTIATE_TEST_SUITE_P(Messages, MessageText, testing::ValuesIn(kTexts));

TEST(Messages, EveryErrorCodeBelowFortyHasItsOwnText) {
    TIFPSPascalCompilerMessage unknown;
    unknown.Code = 40;
    const std::string fallback = MessageToText(unknown);
    for (int code = 0; code < 40; ++code) {
        TIFPSPascalCompilerMessage m;
        m.Code = std::uint8_t(code);
        m.Param = "P";
        EXPECT_NE(MessageToText(m), fallback) << code;
    }
}

TEST(Messages, ModuleNameAndParamBytesAreKept) {
    TIFPSPascalCompilerMessage m;
    m.ModuleName = "UNIT1";
    m.Kind = mkError;
    m.Code = ceUnknownIdentifier;
    m.Param = "\xC0\x01\xFF";
    EXPECT_EQ(MessageToText(m),
              Utf8ToCp1251("[Error] UNIT1: Неизвестный идентификатор '") + "\xC0\x01\xFF'");
}

} // namespace
