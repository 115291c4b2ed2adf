#include "core/settings.h"

#include <QDir>
#include <QFile>
#include <QSettings>

namespace {
const QString kGroup = QStringLiteral("SOFTWARE/Rezydo");
const QString kOrganisation = QStringLiteral("Rezydo");
const QString kApplication = QStringLiteral("Rezydo");

// QSettings reads an INI value with unquoted commas as a list and drops the
// blanks around each comma. The store holds nothing but strings, so such a
// value is a text someone wrote by hand ("/srv/hotel/kopie, sezon 2026"); the
// functions below read it again from the file, by the same rules QSettings
// uses, keeping the commas and blanks as they were written.

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// One logical line, as QSettings cuts them: a quoted part may run over line
// ends, a backslash carries on the next line, ';' outside quotes ends it.
struct IniLine {
    qsizetype start = 0;
    qsizetype end = 0;
    qsizetype equals = -1;
};

bool nextIniLine(const QByteArray& data, qsizetype& pos, IniLine& line)
{
    const qsizetype n = data.size();
    qsizetype start = pos;
    while (start < n && (isBlank(data[start]) || data[start] == '\n' || data[start] == '\r'))
        ++start;
    line.equals = -1;
    bool inQuotes = false;
    qsizetype i = start;
    while (i < n) {
        const char ch = data[i++];
        if (ch == '=') {
            if (!inQuotes && line.equals < 0)
                line.equals = i - 1;
        } else if (ch == '\n' || ch == '\r') {
            if (i == start + 1) {
                ++start; // the end of a comment line
            } else if (!inQuotes) {
                --i;
                break;
            }
        } else if (ch == '\\') {
            if (i < n) {
                const char next = data[i++];
                if (i < n &&
                    ((next == '\n' && data[i] == '\r') || (next == '\r' && data[i] == '\n')))
                    ++i;
            }
        } else if (ch == '"') {
            inQuotes = !inQuotes;
        } else if (ch == ';') {
            if (i == start + 1) {
                while (i < n && data[i] != '\n' && data[i] != '\r')
                    ++i;
                start = i;
            } else if (!inQuotes) {
                --i;
                break;
            }
        }
    }
    pos = i;
    line.start = start;
    line.end = i;
    return i > start;
}

// Section and key names: '\' separates levels, %XX and %UXXXX are escapes.
QString iniKeyName(QByteArrayView raw)
{
    QString out;
    for (qsizetype i = 0; i < raw.size();) {
        const char ch = raw[i];
        if (ch == '\\') {
            out += QLatin1Char('/');
            ++i;
            continue;
        }
        if (ch == '%' && i + 1 < raw.size()) {
            const qsizetype digits = raw[i + 1] == 'U' ? 4 : 2;
            const qsizetype first = raw[i + 1] == 'U' ? i + 2 : i + 1;
            bool ok = false;
            const uint code =
                first + digits <= raw.size() ? raw.sliced(first, digits).toUInt(&ok, 16) : 0;
            if (ok) {
                out += QChar(char16_t(code));
                i = first + digits;
                continue;
            }
        }
        out += QLatin1Char(ch);
        ++i;
    }
    return out;
}

QString normalisedKey(const QString& key)
{
    return key.split(QLatin1Char('/'), Qt::SkipEmptyParts).join(QLatin1Char('/'));
}

// A value as written: the whole text, and the pieces QSettings makes of it.
struct IniValue {
    QString text;
    QStringList pieces;
};

int digitIn(char c, int base)
{
    const int d = c >= '0' && c <= '9'   ? c - '0'
                  : c >= 'a' && c <= 'f' ? c - 'a' + 10
                  : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                         : -1;
    return d < base ? d : -1;
}

char escaped(char code)
{
    static constexpr char kEscapes[][2] = {{'a', '\a'}, {'b', '\b'},  {'f', '\f'}, {'n', '\n'},
                                           {'r', '\r'}, {'t', '\t'},  {'v', '\v'}, {'"', '"'},
                                           {'?', '?'},  {'\'', '\''}, {'\\', '\\'}};
    for (const auto& e : kEscapes)
        if (code == e[0])
            return e[1];
    return 0;
}

// The escape after a backslash at s[i]; appends what it stands for to
// `piece`. False when the value ends within it (QSettings then keeps blanks
// written before it).
bool readEscape(QByteArrayView s, qsizetype& i, QString& piece)
{
    const qsizetype n = s.size();
    const auto numeric = [&](int base) {
        uint code = 0;
        for (; i < n && digitIn(s[i], base) >= 0; ++i)
            code = code * uint(base) + uint(digitIn(s[i], base));
        piece += QChar(char16_t(code));
        return i < n;
    };
    if (i >= n)
        return false;
    const char code = s[i++];
    if (const char c = escaped(code)) {
        piece += QLatin1Char(c);
    } else if (code == 'x') {
        if (i >= n)
            return false;
        if (digitIn(s[i], 16) >= 0)
            return numeric(16);
    } else if (code >= '0' && code <= '7') {
        --i;
        return numeric(8);
    } else if ((code == '\n' || code == '\r') && i < n && (s[i] == '\n' || s[i] == '\r') &&
               s[i] != code) {
        ++i; // a two-character line end after the backslash
    }
    return true; // any other character after a backslash is dropped
}

// Reads the value by QSettings' rules (quotes, backslash escapes, blanks at
// both ends dropped), except that each comma outside quotes keeps the blanks
// written around it in the text.
IniValue readIniValue(QByteArrayView s)
{
    const qsizetype n = s.size();
    IniValue value;
    QString piece;
    QString separator; // the comma and blanks between the previous piece and this one
    QString blanks;    // skipped after a closing quote: text only before a comma
    bool inQuotes = false;
    bool quoted = false;
    bool chopAtEnd = true;
    qsizetype chopLimit = 0; // blanks made by an escape are never dropped
    qsizetype i = 0;
    const auto skipBlanks = [&] {
        while (i < n && isBlank(s[i]))
            blanks += QLatin1Char(s[i++]);
        chopLimit = piece.size();
    };
    const auto trailingBlanks = [&] {
        qsizetype keep = piece.size();
        while (keep > chopLimit && (piece[keep - 1] == u' ' || piece[keep - 1] == u'\t'))
            --keep;
        const QString cut = piece.sliced(keep);
        piece.truncate(keep);
        return cut;
    };
    const auto endPiece = [&] {
        value.text += separator + piece;
        value.pieces << piece;
        piece.clear();
    };

    skipBlanks();
    blanks.clear();
    while (i < n) {
        const char ch = s[i];
        if (ch == ',' && !inQuotes) {
            const QString before = blanks + (quoted ? QString() : trailingBlanks());
            endPiece();
            ++i;
            quoted = false;
            blanks.clear();
            skipBlanks();
            separator = before + QLatin1Char(',') + blanks;
            blanks.clear();
            continue;
        }
        blanks.clear();
        if (ch == '"') {
            ++i;
            quoted = true;
            inQuotes = !inQuotes;
            if (!inQuotes)
                skipBlanks();
        } else if (ch == '\\') {
            if (!readEscape(s, ++i, piece)) {
                chopAtEnd = false;
                break;
            }
            chopLimit = piece.size();
        } else {
            qsizetype j = i + 1;
            while (j < n && s[j] != '\\' && s[j] != '"' && s[j] != ',')
                ++j;
            piece += QString::fromUtf8(s.sliced(i, j - i));
            i = j;
        }
    }
    if (chopAtEnd && !quoted)
        trailingBlanks();
    endPiece();
    return value;
}

// The value of `key` ("SOFTWARE/Rezydo/KatalogBazy") in one INI file; the
// last line naming the key wins, as it does for QSettings.
std::optional<IniValue> iniValue(const QString& file, const QString& key)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray data = f.readAll();
    if (data.startsWith("\xef\xbb\xbf"))
        data.remove(0, 3);
    std::optional<IniValue> found;
    QString section;
    IniLine line;
    for (qsizetype pos = 0; nextIniLine(data, pos, line);) {
        const QByteArrayView text = QByteArrayView(data).sliced(line.start, line.end - line.start);
        if (text.startsWith('[')) {
            const qsizetype close = text.indexOf(']');
            const QByteArray name =
                text.sliced(1, (close < 0 ? text.size() : close) - 1).toByteArray().trimmed();
            if (qstricmp(name.constData(), "general") == 0)
                section.clear();
            else if (qstricmp(name.constData(), "%general") == 0)
                section = QString::fromLatin1(name.sliced(1)) + QLatin1Char('/');
            else
                section = iniKeyName(name) + QLatin1Char('/');
            continue;
        }
        if (line.equals < 0)
            continue;
        qsizetype keyEnd = line.equals - line.start;
        while (keyEnd > 0 && isBlank(text[keyEnd - 1]))
            --keyEnd;
        if (normalisedKey(section + iniKeyName(text.first(keyEnd))) == key)
            found = readIniValue(text.sliced(line.equals - line.start + 1));
    }
    return found;
}

// The exact text of a value QSettings gave as `pieces`, from the first of
// `files` that holds it. Should the file say something else by now, the
// pieces are joined the way QSettings itself writes a list.
QString textAsWritten(const QStringList& files, const QString& key, const QStringList& pieces)
{
    for (const QString& file : files) {
        const std::optional<IniValue> v = iniValue(file, key);
        if (!v)
            continue;
        QStringList unmarked = v->pieces; // "@@" stands for a leading "@"
        for (QString& p : unmarked)
            if (p.startsWith(QLatin1String("@@")))
                p.remove(0, 1);
        if (unmarked != pieces)
            break;
        return v->text.startsWith(QLatin1String("@@")) ? v->text.sliced(1) : v->text;
    }
    return pieces.join(QStringLiteral(", "));
}

// The files a store of `scope` reads, in its order: the program's own file,
// then the organisation's; a user store falls back on the machine's files.
QStringList filesOf(QSettings::Scope scope)
{
    QStringList files;
    for (const QSettings::Scope s : {QSettings::UserScope, QSettings::SystemScope}) {
        if (s == QSettings::UserScope && scope == QSettings::SystemScope)
            continue;
        files << QSettings(QSettings::IniFormat, s, kOrganisation, kApplication).fileName()
              << QSettings(QSettings::IniFormat, s, kOrganisation).fileName();
    }
    return files;
}

std::optional<QString> readFrom(QSettings::Scope scope, const QString& name)
{
    QSettings store(QSettings::IniFormat, scope, kOrganisation, kApplication);
    if (store.status() != QSettings::NoError)
        return std::nullopt;
    const QString key = kGroup + QLatin1Char('/') + name;
    if (!store.contains(key))
        return std::nullopt;
    const QVariant value = store.value(key);
    if (value.typeId() == QMetaType::QString)
        return value.toString();
    // An INI file holds strings: a "list" is a text with commas in it. Typed
    // values (@Variant, @ByteArray, a list holding them) count as missing.
    if (value.typeId() == QMetaType::QStringList)
        return textAsWritten(filesOf(scope), key, value.toStringList());
    return std::nullopt;
}
} // namespace

std::optional<QString> readSetting(const QString& name)
{
    if (auto v = readFrom(QSettings::UserScope, name))
        return v;
    return readFrom(QSettings::SystemScope, name);
}

bool writeSetting(const QString& name, const QString& value)
{
    QSettings store(QSettings::IniFormat, QSettings::SystemScope, kOrganisation, kApplication);
    if (!store.isWritable())
        return false;
    // The file is written anew as a whole, and a hand-written value with
    // commas would come back as a list (with ", " between the pieces, other
    // blanks lost). Stored as its text, it is written quoted and stays as it
    // was. Only this file's own values: no fallback is copied into it.
    store.setFallbacksEnabled(false);
    store.beginGroup(kGroup);
    for (const QString& other : store.childKeys()) {
        const QVariant v = store.value(other);
        if (other != name && v.typeId() == QMetaType::QStringList)
            store.setValue(other,
                           textAsWritten({store.fileName()}, kGroup + QLatin1Char('/') + other,
                                         v.toStringList()));
    }
    store.setValue(name, value);
    store.endGroup();
    store.sync();
    return store.status() == QSettings::NoError;
}

QString machineSettingsFile()
{
    return QSettings(QSettings::IniFormat, QSettings::SystemScope, kOrganisation, kApplication)
        .fileName();
}

QString settingsNotSavedText(const QStringList& names)
{
    return QStringLiteral("Nie można zapisać ustawień programu (%1) w pliku '%2': to konto nie "
                          "ma prawa zapisu do tego pliku albo jego folderu.\n\nZmiana nie "
                          "została zapamiętana. Administrator komputera może dodać to konto do "
                          "grupy rezydo (sudo adduser NAZWA_KONTA rezydo, potem ponowne "
                          "zalogowanie).")
        .arg(names.join(QStringLiteral(", ")), QDir::toNativeSeparators(machineSettingsFile()));
}

QString userSettingHidesText(const QString& name, const QString& valueInUse)
{
    const QString userFile =
        QSettings(QSettings::IniFormat, QSettings::UserScope, kOrganisation, kApplication)
            .fileName();
    return QStringLiteral("Nowa wartość ustawienia %1 została zapisana w ustawieniach komputera, "
                          "ale nie działa: plik ustawień tego konta '%2' podaje '%3' i ma "
                          "pierwszeństwo.\n\nUsuń z tego pliku wiersz z %1, aby program "
                          "korzystał z ustawień komputera.")
        .arg(name, QDir::toNativeSeparators(userFile), valueInUse);
}
