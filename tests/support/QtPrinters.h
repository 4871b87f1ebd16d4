// Readable test failure output for Qt strings: GoogleTest finds these printers by argument
// lookup and shows the text (UTF-8, with control characters escaped) instead of raw bytes.
#pragma once

#include <QString>
#include <QStringList>

#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"';
    for (const char c : text.toUtf8()) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\r') *os << "\\r";
        else if (c == '\n') *os << "\\n";
        else if (c == '\t') *os << "\\t";
        else if (c == '"' || c == '\\') *os << '\\' << c;
        else if (byte < 32) *os << "\\x" << std::hex << int(byte) << std::dec;
        else *os << c;
    }
    *os << '"';
}

inline void PrintTo(const QStringList& list, std::ostream* os) {
    *os << '{';
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (i) *os << ", ";
        PrintTo(list[i], os);
    }
    *os << '}';
}
