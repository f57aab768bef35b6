#include "platform/inifile.h"

#include <QString>

#include <vector>

namespace platform {

namespace {

bool IsHexDigit(char32_t c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int HexValue(char32_t c) {
    return c <= '9' ? int(c - '0') : int((c | 0x20) - 'a' + 10);
}

bool IsKeyCharacter(char16_t c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-' || c == '.';
}

void AppendHex(QString& out, unsigned value, int digits) {
    static const char kDigits[] = "0123456789ABCDEF";
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4)
        out += QLatin1Char(kDigits[(value >> shift) & 0xF]);
}

// A path of names, '/' between them, in the spelling of the file.
std::string EscapeKey(const std::string& key) {
    QString out;
    for (QChar qc : QString::fromStdString(key)) {
        const char16_t c = qc.unicode();
        if (c == '/') {
            out += QLatin1Char('\\');
        } else if (IsKeyCharacter(c)) {
            out += qc;
        } else if (c <= 0xFF) {
            out += QLatin1Char('%');
            AppendHex(out, c, 2);
        } else {
            out += QLatin1String("%U");
            AppendHex(out, c, 4);
        }
    }
    return out.toStdString();
}

std::string UnescapeKey(const std::string& spelt) {
    const QString key = QString::fromLatin1(spelt.data(), qsizetype(spelt.size()));
    QString out;
    for (qsizetype i = 0; i < key.size();) {
        const QChar c = key[i];
        if (c == QLatin1Char('\\')) {
            out += QLatin1Char('/');
            ++i;
            continue;
        }
        const qsizetype first = i + 1 + (i + 1 < key.size() && key[i + 1] == QLatin1Char('U'));
        const qsizetype digits = first > i + 1 ? 4 : 2;
        bool ok = false;
        const unsigned value = c == QLatin1Char('%') && first + digits <= key.size()
                                   ? key.mid(first, digits).toUInt(&ok, 16)
                                   : 0;
        if (ok) {
            out += QChar(char16_t(value));
            i = first + digits;
        } else {
            out += c;
            ++i;
        }
    }
    return out.toStdString();
}

// One line of the file as the settings class reads it: quotes may run over
// line ends, a backslash takes the next character (a line end too), and a
// ';' outside quotes starts a comment that runs to the line's end.
struct Line {
    size_t start = 0, length = 0, equals = std::string::npos;
};

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

bool ReadLine(const std::string& data, size_t* pos, Line* line) {
    size_t i = *pos;
    while (i < data.size() && IsSpace(data[i]))
        ++i;
    if (i >= data.size())
        return false;
    if (data[i] == ';') { // a comment line
        while (i < data.size() && data[i] != '\n' && data[i] != '\r')
            ++i;
        *pos = i;
        *line = Line{i, 0};
        return true;
    }
    *line = Line{i};
    bool quoted = false;
    for (; i < data.size(); ++i) {
        const char c = data[i];
        if (c == '=' && !quoted && line->equals == std::string::npos)
            line->equals = i;
        else if (c == '"')
            quoted = !quoted;
        else if (c == '\\' && i + 1 < data.size())
            i += data.compare(i + 1, 2, "\r\n") == 0 || data.compare(i + 1, 2, "\n\r") == 0 ? 2 : 1;
        else if (!quoted && (c == '\n' || c == '\r' || c == ';'))
            break;
    }
    line->length = i - line->start;
    while (i < data.size() && data[i] == ';') // the rest of the line is a comment
        while (i < data.size() && data[i] != '\n' && data[i] != '\r')
            ++i;
    *pos = i;
    return true;
}

std::string Trimmed(const std::string& s) {
    size_t begin = 0, end = s.size();
    while (begin < end && IsSpace(s[begin]))
        ++begin;
    while (end > begin && IsSpace(s[end - 1]))
        --end;
    return s.substr(begin, end - begin);
}

// The section a line "[name]" opens, as the prefix of its keys.
std::string SectionPrefix(const std::string& line) {
    const size_t close = line.find(']');
    const std::string name =
        Trimmed(line.substr(1, close == std::string::npos ? line.npos : close - 1));
    if (QString::fromStdString(name).compare(QLatin1String("general"), Qt::CaseInsensitive) == 0)
        return {};
    if (QString::fromStdString(name).compare(QLatin1String("%general"), Qt::CaseInsensitive) == 0)
        return "General/";
    return UnescapeKey(name) + "/";
}

// The values of a spelt value: more than one when it is a list.
std::vector<QString> UnescapeValues(const QString& raw) {
    static const char kCodes[][2] = {{'a', '\a'}, {'b', '\b'},  {'f', '\f'}, {'n', '\n'},
                                     {'r', '\r'}, {'t', '\t'},  {'v', '\v'}, {'"', '"'},
                                     {'?', '?'},  {'\'', '\''}, {'\\', '\\'}};
    std::vector<QString> values(1);
    bool quoted = false, valueQuoted = false;
    qsizetype keep = 0; // spaces before this stay when the value ends
    const auto chopSpaces = [&](QString& value) {
        if (valueQuoted)
            return;
        qsizetype end = value.size();
        while (end > keep &&
               (value[end - 1] == QLatin1Char(' ') || value[end - 1] == QLatin1Char('\t')))
            --end;
        value.truncate(end);
    };
    qsizetype i = 0;
    const auto skipSpaces = [&] {
        while (i < raw.size() && (raw[i] == QLatin1Char(' ') || raw[i] == QLatin1Char('\t')))
            ++i;
    };
    skipSpaces();
    while (i < raw.size()) {
        QString& value = values.back();
        const char16_t c = raw[i].unicode();
        if (c == '\\') {
            if (++i >= raw.size())
                break;
            const char16_t code = raw[i++].unicode();
            bool known = false;
            for (const auto& pair : kCodes)
                if (code == char16_t(pair[0])) {
                    value += QLatin1Char(pair[1]);
                    known = true;
                }
            if (!known && (code == 'x' || (code >= '0' && code <= '7'))) {
                const int base = code == 'x' ? 16 : 8;
                char32_t number = code == 'x' ? 0 : char32_t(code - '0');
                int digits = code == 'x' ? 0 : 1;
                for (; i < raw.size(); ++i, ++digits) {
                    const char32_t d = raw[i].unicode();
                    if (base == 16 ? !IsHexDigit(d) : (d < '0' || d > '7'))
                        break;
                    number = (number * base + char32_t(HexValue(d))) & 0xFFFF;
                }
                if (digits > 0) // "\\x" without a digit stands for nothing
                    value += QChar(char16_t(number));
            } else if (!known && (code == '\n' || code == '\r')) {
                if (i < raw.size() &&
                    (raw[i] == QLatin1Char('\n') || raw[i] == QLatin1Char('\r')) &&
                    raw[i] != QChar(code))
                    ++i;
            }
            keep = value.size();
        } else if (c == '"') {
            ++i;
            valueQuoted = true;
            quoted = !quoted;
            if (!quoted)
                skipSpaces();
        } else if (c == ',' && !quoted) {
            chopSpaces(value);
            values.emplace_back();
            valueQuoted = false;
            keep = 0;
            ++i;
            skipSpaces();
        } else {
            value += raw[i++];
        }
    }
    chopSpaces(values.back());
    return values;
}

} // namespace

namespace {

// The spelling of one text in a value, as it is.
QString EscapeText(const QString& text) {
    QString out;
    bool needsQuotes = false;
    bool escapeHexDigit = false; // a digit after a numeric escape would join it
    for (QChar qc : text) {
        const char16_t c = qc.unicode();
        if (c == ';' || c == ',' || c == '=')
            needsQuotes = true;
        if (escapeHexDigit && IsHexDigit(c)) {
            out += QLatin1String("\\x") + QString::number(c, 16);
            continue;
        }
        escapeHexDigit = false;
        switch (c) {
        case 0:
            out += QLatin1String("\\0");
            escapeHexDigit = true;
            break;
        case '\a':
            out += QLatin1String("\\a");
            break;
        case '\b':
            out += QLatin1String("\\b");
            break;
        case '\f':
            out += QLatin1String("\\f");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\r':
            out += QLatin1String("\\r");
            break;
        case '\t':
            out += QLatin1String("\\t");
            break;
        case '\v':
            out += QLatin1String("\\v");
            break;
        case '"':
        case '\\':
            out += QLatin1Char('\\') + qc;
            break;
        default:
            if (c <= 0x1F) {
                out += QLatin1String("\\x") + QString::number(c, 16);
                escapeHexDigit = true;
            } else {
                out += qc;
            }
        }
    }
    if (needsQuotes || out.startsWith(QLatin1Char(' ')) || out.endsWith(QLatin1Char(' ')))
        out = QLatin1Char('"') + out + QLatin1Char('"');
    return out;
}

// A value as the file spelt it stays so unless it would run into the lines
// written after it: a line break, a quote left open, a backslash at its end.
bool StaysOnItsLine(const std::string& raw) {
    bool quoted = false;
    for (size_t i = 0; i < raw.size(); ++i) {
        const bool escaped = raw[i] == '\\';
        if (escaped) // the next character, a quote too, stands for itself
            ++i;
        if (i >= raw.size() || raw[i] == '\n' || raw[i] == '\r')
            return false;
        if (raw[i] == '"' && !escaped)
            quoted = !quoted;
    }
    return !quoted;
}

// The same texts, each spelt anew, so that the value keeps to its line.
std::string Respelt(const std::string& raw) {
    QString out;
    for (const QString& text : UnescapeValues(QString::fromStdString(raw)))
        out += (out.isEmpty() ? QString() : QStringLiteral(", ")) + EscapeText(text);
    return out.toStdString();
}

} // namespace

std::string EscapeIniValue(const std::string& value) {
    QString text = QString::fromStdString(value);
    // A leading '@' marks a typed value, so a string's own is doubled.
    if (text.contains(QChar::Null))
        text = QLatin1String("@String(") + text + QLatin1Char(')');
    else if (text.startsWith(QLatin1Char('@')))
        text.prepend(QLatin1Char('@'));
    return EscapeText(text).toStdString();
}

bool UnescapeIniValue(const std::string& raw, std::string* value) {
    const std::vector<QString> values = UnescapeValues(QString::fromStdString(raw));
    if (values.size() != 1)
        return false;
    QString text = values[0];
    if (text.startsWith(QLatin1String("@String(")) && text.endsWith(QLatin1Char(')')))
        text = text.mid(8, text.size() - 9);
    else if (text.startsWith(QLatin1String("@@")))
        text.remove(0, 1);
    else if (text.startsWith(QLatin1Char('@')) && text.endsWith(QLatin1Char(')')))
        return false; // a typed value: bytes, a variant, nothing
    if (value)
        *value = text.toStdString();
    return true;
}

void CIniFile::Parse(const std::string& text) {
    m_raw.clear();
    std::string prefix;
    Line line;
    for (size_t pos = 0; ReadLine(text, &pos, &line);) {
        if (line.length == 0)
            continue;
        const std::string content = text.substr(line.start, line.length);
        if (content[0] == '[') {
            prefix = SectionPrefix(content);
        } else if (line.equals != std::string::npos) {
            const size_t equals = line.equals - line.start;
            const std::string key = Trimmed(content.substr(0, equals));
            if (!key.empty())
                m_raw[prefix + UnescapeKey(key)] = Trimmed(content.substr(equals + 1));
        }
    }
}

std::string CIniFile::Text() const {
    std::map<std::string, std::string> sections; // section name -> its lines
    for (const auto& [key, raw] : m_raw) {
        const size_t slash = key.find('/');
        const std::string section = slash == std::string::npos ? "General"
                                    : key.compare(0, slash, "General") == 0
                                        ? "%General"
                                        : EscapeKey(key.substr(0, slash));
        const std::string name = slash == std::string::npos ? key : key.substr(slash + 1);
        sections[section] +=
            EscapeKey(name) + "=" + (StaysOnItsLine(raw) ? raw : Respelt(raw)) + "\n";
    }
    std::string text;
    for (const auto& [section, lines] : sections)
        text += (text.empty() ? "[" : "\n[") + section + "]\n" + lines;
    return text;
}

bool CIniFile::Find(const std::string& key, std::string* value) const {
    const auto found = m_raw.find(key);
    return found != m_raw.end() && UnescapeIniValue(found->second, value);
}

void CIniFile::Set(const std::string& key, const std::string& value) {
    m_raw[key] = EscapeIniValue(value);
}

void CIniFile::Remove(const std::string& key) {
    m_raw.erase(key);
}

} // namespace platform
