#include "batch/BatchOptions.h"

#include <QFile>
#include <QStringDecoder>
#include <string>

#include "docx/FontSize.h"
#include "engine/InsertionRun.h"
#include "engine/Modes.h"

namespace batch {

namespace {

ParsedCommand UsageError(const QString& message) {
    ParsedCommand parsed;
    parsed.kind = ParsedCommand::kUsageError;
    parsed.error = message;
    return parsed;
}

std::optional<Mode> ModeFromName(const QString& name) {
    if (name == QLatin1String("first"))
        return Mode::kFirst;
    if (name == QLatin1String("last"))
        return Mode::kLast;
    if (name == QLatin1String("after"))
        return Mode::kAfter;
    if (name == QLatin1String("before"))
        return Mode::kBefore;
    return std::nullopt;
}

// The bytes of a lines file as text; false when it cannot be read or is not UTF-8.
bool ReadLinesFile(const QString& path, QString* text, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error =
            QStringLiteral("cannot read the lines file \"%1\": %2").arg(path, file.errorString());
        return false;
    }
    // One byte past the limit tells a file that is too long without reading the rest of it
    // (a device such as /dev/zero has no end).
    const QByteArray bytes = file.read(kMaxLinesBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        *error =
            QStringLiteral("cannot read the lines file \"%1\": %2").arg(path, file.errorString());
        return false;
    }
    if (bytes.size() > kMaxLinesBytes) {
        *error = QStringLiteral("the lines file \"%1\" is longer than %2 bytes")
                     .arg(path)
                     .arg(kMaxLinesBytes);
        return false;
    }
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    *text = decoder.decode(bytes);
    if (decoder.hasError()) {
        *error = QStringLiteral("the lines file \"%1\" is not UTF-8 text").arg(path);
        return false;
    }
    return true;
}

bool IsFontSize(const QString& size) {
    try {
        docx::ParseFontSizeHalfPoints(size.toStdString());
        return true;
    } catch (...) {
        return false;
    }
}

}  // namespace

QString ModeText(Mode mode) {
    switch (mode) {
        case Mode::kFirst:
            return engine::kModeFirstLine;
        case Mode::kLast:
            return engine::kModeLastLine;
        case Mode::kAfter:
            return engine::kModeAfterX;
        case Mode::kBefore:
            return engine::kModeBeforeX;
    }
    return {};
}

bool NeedsX(Mode mode) {
    return mode == Mode::kAfter || mode == Mode::kBefore;
}

ParsedCommand ParseArguments(const QStringList& args, const std::vector<bool>& notUtf8) {
    ParsedCommand parsed;
    BatchOptions& o = parsed.options;
    std::optional<QString> modeName, lines, linesFile, x;
    bool onlyPaths = false;
    // The journal's commands; --undo takes the next argument as its run unless it is an option.
    std::optional<ParsedCommand::Kind> journalCommand;

    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (onlyPaths || !arg.startsWith(QLatin1String("--")) || arg.size() == 2) {
            if (!onlyPaths && arg == QLatin1String("--")) {
                onlyPaths = true;
                continue;
            }
            if (arg.isEmpty())
                return UsageError(QStringLiteral("an empty path was given"));
            if (static_cast<size_t>(i) < notUtf8.size() && notUtf8[static_cast<size_t>(i)])
                return UsageError(
                    QStringLiteral("the path \"%1\" is not valid in the locale's encoding (UTF-8)")
                        .arg(arg));
            o.paths << arg;
            continue;
        }
        if (arg == QLatin1String("--help"))
            return ParsedCommand{ParsedCommand::kHelp, {}, {}};
        if (arg == QLatin1String("--version"))
            return ParsedCommand{ParsedCommand::kVersion, {}, {}};
        if (arg == QLatin1String("--json")) {
            o.json = true;
            continue;
        }
        if (arg == QLatin1String("--no-journal")) {
            o.journal.off = true;
            continue;
        }
        if (arg == QLatin1String("--runs") || arg == QLatin1String("--undo") ||
            arg.startsWith(QLatin1String("--undo="))) {
            if (journalCommand)
                return UsageError(QStringLiteral("give one of --runs and --undo, once"));
            journalCommand =
                arg == QLatin1String("--runs") ? ParsedCommand::kRuns : ParsedCommand::kUndo;
            if (arg.startsWith(QLatin1String("--undo=")))
                o.journal.undoRun = arg.mid(7);
            else if (arg == QLatin1String("--undo") && i + 1 < args.size() &&
                     !args[i + 1].startsWith(QLatin1String("--")))
                o.journal.undoRun = args[++i];
            continue;
        }

        // Options with a value, as "--name value" or "--name=value".
        QString name = arg, value;
        const qsizetype eq = arg.indexOf(u'=');
        if (eq > 0) {
            name = arg.left(eq);
            value = arg.mid(eq + 1);
        }
        std::optional<QString>* slot = nullptr;
        if (name == QLatin1String("--mode"))
            slot = &modeName;
        else if (name == QLatin1String("--lines"))
            slot = &lines;
        else if (name == QLatin1String("--lines-file"))
            slot = &linesFile;
        else if (name == QLatin1String("--x"))
            slot = &x;
        else if (name == QLatin1String("--font"))
            slot = &o.font;
        else if (name == QLatin1String("--size"))
            slot = &o.size;
        else if (name == QLatin1String("--ext"))
            slot = &o.ext;
        else if (name == QLatin1String("--settings"))
            slot = &o.settingsFile;
        else if (name == QLatin1String("--journal-runs"))
            slot = &o.journal.maxRuns;
        else if (name == QLatin1String("--journal-days"))
            slot = &o.journal.maxDays;
        else if (name == QLatin1String("--journal-size"))
            slot = &o.journal.maxSize;
        else
            return UsageError(QStringLiteral("unknown option %1").arg(name));
        if (eq < 0) {
            if (i + 1 >= args.size())
                return UsageError(QStringLiteral("%1 needs a value").arg(name));
            value = args[++i];
        }
        if (slot->has_value())
            return UsageError(QStringLiteral("%1 is given twice").arg(name));
        // i is the position of the value's argument in both forms.
        const bool isText = slot == &lines || slot == &x || slot == &o.font;
        if (isText && static_cast<size_t>(i) < notUtf8.size() && notUtf8[static_cast<size_t>(i)])
            return UsageError(QStringLiteral("%1 is not UTF-8 text").arg(name));
        *slot = value;
    }

    if (journalCommand) {
        const bool others = modeName || lines || linesFile || x || o.font || o.size || o.ext ||
                            o.settingsFile || o.journal.off || o.journal.maxRuns ||
                            o.journal.maxDays || o.journal.maxSize || !o.paths.isEmpty();
        if (others)
            return UsageError(
                QStringLiteral("--runs and --undo take no paths and no other option but --json"));
        if (o.journal.undoRun && o.journal.undoRun->isEmpty())
            return UsageError(QStringLiteral("--undo was given an empty run"));
        parsed.kind = *journalCommand;
        return parsed;
    }
    {
        QString error;
        if (!journal::ReadRetention(o.journal, &error))
            return UsageError(error);
    }
    if (!modeName)
        return UsageError(QStringLiteral("--mode is missing (first, last, after or before)"));
    const std::optional<Mode> mode = ModeFromName(*modeName);
    if (!mode)
        return UsageError(
            QStringLiteral("unknown mode \"%1\" (first, last, after or before)").arg(*modeName));
    o.mode = *mode;

    if (lines && linesFile)
        return UsageError(
            QStringLiteral("give the lines either with --lines or with --lines-file"));
    if (!lines && !linesFile)
        return UsageError(
            QStringLiteral("the lines to insert are missing (--lines or --lines-file)"));
    if (lines) {
        if (lines->toUtf8().size() > kMaxLinesBytes)
            return UsageError(
                QStringLiteral("--lines is longer than %1 bytes").arg(kMaxLinesBytes));
        o.lines = *lines;
    } else {
        QString error;
        if (!ReadLinesFile(*linesFile, &o.lines, &error))
            return UsageError(error);
    }
    if (o.lines.isEmpty())
        return UsageError(QStringLiteral("Please enter lines to insert. (the lines are empty)"));

    if (NeedsX(o.mode)) {
        if (!x)
            return UsageError(
                QStringLiteral("--mode %1 needs --x, the text to look for").arg(*modeName));
        if (engine::IsBlankAnswer(*x))
            return UsageError(QStringLiteral("--x is blank; give the text to look for"));
        o.x = *x;
    } else if (x) {
        return UsageError(QStringLiteral("--x is used only with --mode after or before"));
    }

    if (o.font && o.font->isEmpty())
        return UsageError(QStringLiteral("--font is empty"));
    if (o.size && !IsFontSize(*o.size))
        return UsageError(
            QStringLiteral("the size \"%1\" is not a font size (a number from 1 to 1638)")
                .arg(*o.size));
    if (o.ext && o.ext->isEmpty())
        return UsageError(QStringLiteral("--ext is empty"));
    if (o.settingsFile && o.settingsFile->isEmpty())
        return UsageError(QStringLiteral("--settings is empty"));
    if (o.paths.isEmpty())
        return UsageError(QStringLiteral("no document or folder was given"));
    return parsed;
}

QString UsageText() {
    return QStringLiteral(
        "usage: lineforge-batch --mode first|last|after|before\n"
        "                       (--lines TEXT | --lines-file FILE)\n"
        "                       [--x TEXT] [--font NAME] [--size SIZE] [--ext EXT] [--json]\n"
        "                       [--settings FILE] [--no-journal] [--journal-runs N]\n"
        "                       [--journal-days N] [--journal-size SIZE] PATH...\n"
        "       lineforge-batch --runs [--json]\n"
        "       lineforge-batch --undo [RUN] [--json]\n"
        "       lineforge-batch --help | --version\n");
}

QString HelpText() {
    return UsageText() +
           QStringLiteral(
               "\n"
               "Inserts the same lines into every Word document named, and into every matching\n"
               "document of every folder named (folders are walked with all their subfolders),\n"
               "saving each document in place.\n"
               "\n"
               "  --mode first|last      the lines become the first or the last paragraph\n"
               "  --mode after|before    the lines go after or before each occurrence of x\n"
               "  --lines TEXT           the lines to insert\n"
               "  --lines-file FILE      the lines to insert, the file's UTF-8 text exactly\n"
               "                         (at most 1 MiB, as for --lines)\n"
               "  --x TEXT               the text to look for (after and before modes only)\n"
               "  --font NAME            font of the inserted text (default: the window's choice)\n"
               "  --size SIZE            font size in points (default: the window's choice, else "
               "12)\n"
               "  --ext EXT              extension of the files taken from folders (default: the\n"
               "                         window's last answer, else doc; doc also finds .docx)\n"
               "  --json                 one JSON object per document on standard output\n"
               "  --settings FILE        read the window's saved choices from this INI file\n"
               "\n"
               "%1\n"
               "Failures are reported on standard error, one per failure, and a summary ends the "
               "run.\n"
               "Exit status: 0 every document changed, 1 some skipped or failed (or left out by\n"
               "the folder walk), 2 usage error. --undo: 0 every document restored (or already\n"
               "as it was), 1 some left as they are or failed, 2 no such run.\n")
               .arg(journal::JournalHelpText());
}

}  // namespace batch
