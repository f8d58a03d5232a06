// SPDX-License-Identifier: MIT
// The typed row number parser against a plain reference on std::from_chars, and
// the pin-item rule that leans on it.
#include <QRegularExpression>
#include <QString>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "history/RowNumber.h"

namespace {

using namespace tarnwick::rows;

// An optional sign, then ASCII digits only, within the signed 64-bit range.
std::optional<std::int64_t> referenceParse(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^[+-]?[0-9]+\\z"));
    if (!form.match(text).hasMatch()) return std::nullopt;
    // from_chars takes a minus sign but no plus sign.
    const std::string ascii = text.mid(text.startsWith(u'+') ? 1 : 0).toStdString();
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (error != std::errc() || end != ascii.data() + ascii.size()) return std::nullopt;
    return value;
}

// Mostly texts of the characters that matter (digits, signs, a blank, a letter,
// digits of other scripts a Unicode-aware parser would take), else any UTF-8.
QString textFrom(const std::uint8_t* data, std::size_t size) {
    static constexpr char16_t alphabet[] = {u'0', u'1', u'2',      u'3',     u'4', u'5',
                                            u'6', u'7', u'8',      u'9',     u'+', u'-',
                                            u' ', u'x', u'\u0663', u'\uFF17'};
    if (size == 0 || data[0] % 2 == 1)
        return QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QString text;
    for (std::size_t i = 1; i < size; ++i) text.append(QChar(alphabet[data[i] % 16]));
    return text;
}

void check(bool holds) {
    if (!holds) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text = textFrom(data, size);
    const std::optional<std::int64_t> parsed = parseRowNumber(text);
    const std::optional<std::int64_t> expected = referenceParse(text);
    check(parsed == expected);
    check(offersPinItem(text) == (expected && *expected <= 10));
    return 0;
}
