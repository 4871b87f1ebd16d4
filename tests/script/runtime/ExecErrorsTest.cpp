// ExecErrorToText: every code's text in code page 1251 and the parameter rules of codes 1, 20, 23.
#include "script/runtime/ExecErrors.h"

#include "script/runtime/Cp1251.h"

#include <gtest/gtest.h>

namespace lumivar::script {
namespace {

struct TextCase {
    int code;
    std::string param;
    std::string utf8; // expected text, written in UTF-8
};

// clang-format off
const TextCase kCases[] = {
    {0, "", "No Error"},
    {1, "FOO", "Не могу импортировать FOO"},
    {1, std::string("AB\0CD", 5), "Не могу импортировать AB"},
    {1, "AB\rCD", "Не могу импортировать AB"},
    {2, "ignored", "Неверный тип"},
    {3, "", "Внутренняя ошибка"},
    {4, "", "Неверный заголовок"},
    {5, "", "Неверный код операции"},
    {6, "", "Не верный параметр кода операции"},
    {7, "", "Нет процедуры Main"},
    {8, "", "Выход за диапазон видимости Глобальных Переменных"},
    {9, "", "Выход за диапазон видимости процедур"},
    {10, "", "Вне деапазона"},
    {11, "", "Выход за границы стека"},
    {12, "", "Несоответсвие типов"},
    {13, "", "Неожиданный конец файла"},
    {14, "", "Ошибочная версия"},
    {15, "", "Деление на ноль"},
    {16, "", "Мтематическая ошибка"},
    {17, "", "Не могу вызывать процедуру"},
    {18, "", "Выход за пределы полей записи"},
    {19, "", "Не хватает памяти"},
    {20, std::string("bad\0tail", 8), std::string("Exception: bad\0tail", 19)},
    {21, "", "Null Pointer Exception"},
    {22, "", "Null variant error"},
    {23, "free text", "free text"},
    {24, "x", "Unknown error"},
    {127, "", "Unknown error"},
    {130, "", "Неверный тип"}, // only the low seven bits count
};
// clang-format on

TEST(ExecErrorToText, EveryCode) {
    for (const TextCase& c : kCases)
        EXPECT_EQ(ExecErrorToText(std::uint8_t(c.code), c.param), Utf8ToCp1251(c.utf8))
            << "code " << c.code;
}

} // namespace
} // namespace lumivar::script
