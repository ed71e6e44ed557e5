#include "batch/BatchOptions.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCommandLineParser>
#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QThread>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <utility>

#include "engine/FontSizeCheck.h"
#include "engine/InsertionRun.h"

namespace batch {

namespace {

ParsedCommand UsageError(const QString& message) {
    ParsedCommand parsed;
    parsed.kind = ParsedCommand::kUsageError;
    parsed.error = message;
    return parsed;
}

// Reads from fd until its end, or one byte past limit (a stream that does not end stops
// there); false with errno's value in *err when a read fails.
bool ReadUpTo(int fd, qsizetype limit, QByteArray* bytes, int* err) {
    char buf[1 << 16];
    while (bytes->size() <= limit) {
        const qsizetype want = std::min<qsizetype>(sizeof buf, limit + 1 - bytes->size());
        const ssize_t n = ::read(fd, buf, static_cast<size_t>(want));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            *err = errno;
            return false;
        }
        if (n == 0)
            break;
        bytes->append(buf, n);
    }
    return true;
}

// The bytes of a lines file ("-": standard input) as text; false when it is not a regular
// file, cannot be read, is too long or is not UTF-8. The file is opened without waiting, so a
// FIFO without a writer is refused instead of waited for.
bool ReadLinesFile(const QString& path, QString* text, QString* error) {
    const bool standardInput = path == u"-";
    const QString shown = standardInput ? QStringLiteral("standard input") : path;
    auto cannotRead = [&](int err) {
        *error = QStringLiteral("cannot read the lines file \"%1\": %2")
                     .arg(shown, QString::fromLocal8Bit(std::strerror(err)));
        return false;
    };
    int fd = STDIN_FILENO;
    if (!standardInput) {
        fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            return cannotRead(errno);
        struct stat st {};
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            ::close(fd);
            *error = QStringLiteral(
                         "the lines file \"%1\" is not a regular file (a folder, FIFO or "
                         "device); give a file, or \"-\" to read the lines from standard input")
                         .arg(path);
            return false;
        }
    }
    QByteArray bytes;
    int err = 0;
    const bool read = ReadUpTo(fd, kMaxLinesBytes, &bytes, &err);
    if (!standardInput)
        ::close(fd);
    if (!read)
        return cannotRead(err);
    if (bytes.size() > kMaxLinesBytes) {
        *error = QStringLiteral("the lines file \"%1\" is longer than %2 bytes")
                     .arg(shown)
                     .arg(kMaxLinesBytes);
        return false;
    }
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    *text = decoder.decode(bytes);
    if (decoder.hasError()) {
        *error = QStringLiteral("the lines file \"%1\" is not UTF-8 text").arg(shown);
        return false;
    }
    return true;
}

// The options the command knows, with a value or as a flag.
const QStringList kValueOptions = {
    "mode",         "lines",        "lines-file",   "x",     "font", "size", "ext", "settings",
    "journal-runs", "journal-days", "journal-size", "label", "jobs"};
const QStringList kFlags = {"help", "version", "json", "no-journal", "runs", "undo"};

// The option token of args that the tokeniser refused, as the message names it: the first one
// that names no option, or a flag given a value; else the last token, a value option without
// its value.
QString RefusedOption(const QStringList& args) {
    for (const QString& arg : args) {
        if (arg == QLatin1String("--"))
            break;
        if (arg.size() < 2 || !arg.startsWith(u'-'))
            continue;
        const qsizetype eq = arg.indexOf(u'=');
        const QString token = eq > 0 ? arg.left(eq) : arg;
        const QString name = token.startsWith(QLatin1String("--")) ? token.mid(2) : QString();
        if (!kValueOptions.contains(name) && !kFlags.contains(name))
            return QStringLiteral("unknown option %1").arg(token);
        if (kFlags.contains(name) && eq > 0)
            return QStringLiteral("unknown option %1").arg(token);
    }
    return QStringLiteral("%1 needs a value").arg(args.isEmpty() ? QString() : args.last());
}

}  // namespace

int DefaultJobs() {
    return std::clamp(QThread::idealThreadCount(), 1, 8);
}

ParsedCommand ParseArguments(const QStringList& args, const std::vector<bool>& notUtf8) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    for (const QString& name : kValueOptions)
        parser.addOption(QCommandLineOption(name, QString(), QStringLiteral("value")));
    for (const QString& name : kFlags)
        parser.addOption(QCommandLineOption(name));
    // "--undo=RUN" names its run in the flag itself, which the tokeniser does not take.
    std::optional<QString> undoRun;
    QStringList tokens;
    for (const QString& arg : args) {
        if (arg.startsWith(QLatin1String("--undo=")) && !tokens.contains(QStringLiteral("--"))) {
            if (undoRun)
                return UsageError(QStringLiteral("give one of --runs and --undo, once"));
            undoRun = arg.mid(7);
            continue;
        }
        tokens << arg;
    }
    // The parser skips the first argument, the program's name.
    if (!parser.parse(QStringList{QString()} + tokens))
        return UsageError(RefusedOption(tokens));

    // The texts that came from arguments that were not UTF-8, as an argument of their own or
    // behind "--name=".
    QStringList notUtf8Args;
    for (qsizetype i = 0; i < args.size(); ++i)
        if (static_cast<size_t>(i) < notUtf8.size() && notUtf8[static_cast<size_t>(i)])
            notUtf8Args << args[i];
    const auto cameFromNotUtf8 = [&](const QString& name, const QString& value) {
        return notUtf8Args.contains(value) ||
               notUtf8Args.contains(QStringLiteral("--%1=%2").arg(name, value));
    };

    for (const QString& name : parser.optionNames())
        if (parser.values(name).size() > 1)
            return UsageError(QStringLiteral("--%1 is given twice").arg(name));
    if (parser.isSet(QStringLiteral("help")))
        return ParsedCommand{ParsedCommand::kHelp, {}, {}};
    if (parser.isSet(QStringLiteral("version")))
        return ParsedCommand{ParsedCommand::kVersion, {}, {}};

    ParsedCommand parsed;
    BatchOptions& o = parsed.options;
    o.json = parser.isSet(QStringLiteral("json"));
    o.journal.off = parser.isSet(QStringLiteral("no-journal"));
    const auto value = [&](const char* name) -> std::optional<QString> {
        const QString n = QString::fromLatin1(name);
        if (!parser.isSet(n))
            return std::nullopt;
        return parser.value(n);
    };
    const std::optional<QString> modeName = value("mode"), lines = value("lines"),
                                 linesFile = value("lines-file"), x = value("x");
    o.font = value("font");
    o.size = value("size");
    o.ext = value("ext");
    o.settingsFile = value("settings");
    o.journal.maxRuns = value("journal-runs");
    o.journal.maxDays = value("journal-days");
    o.journal.maxSize = value("journal-size");
    const std::optional<QString> label = value("label"), jobs = value("jobs");
    for (const auto& [name, text] : {std::pair{"lines", lines}, {"x", x}, {"font", o.font}})
        if (text && cameFromNotUtf8(QString::fromLatin1(name), *text))
            return UsageError(QStringLiteral("--%1 is not UTF-8 text").arg(name));
    // The journal's commands; --undo takes one run, as "--undo RUN" or "--undo=RUN".
    const bool runs = parser.isSet(QStringLiteral("runs"));
    const bool undo = parser.isSet(QStringLiteral("undo")) || undoRun.has_value();
    if (runs && undo)
        return UsageError(QStringLiteral("give one of --runs and --undo, once"));
    std::optional<ParsedCommand::Kind> journalCommand;
    if (runs || undo)
        journalCommand = runs ? ParsedCommand::kRuns : ParsedCommand::kUndo;
    QStringList positional = parser.positionalArguments();
    if (undo && !undoRun && positional.size() == 1)
        undoRun = positional.takeFirst();
    o.journal.undoRun = undoRun;
    for (const QString& path : positional) {
        if (path.isEmpty())
            return UsageError(QStringLiteral("an empty path was given"));
        if (notUtf8Args.contains(path))
            return UsageError(
                QStringLiteral("the path \"%1\" is not valid in the locale's encoding (UTF-8)")
                    .arg(path));
        o.paths << path;
    }

    if (journalCommand) {
        const bool others = modeName || lines || linesFile || x || o.font || o.size || o.ext ||
                            o.settingsFile || o.journal.off || o.journal.maxRuns ||
                            o.journal.maxDays || o.journal.maxSize || label || jobs ||
                            !o.paths.isEmpty();
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
        if (!ReadRetention(o.journal, &error))
            return UsageError(error);
    }
    if (label) {
        // A label that looked like a run's name would make "--undo NAME" ambiguous.
        static const QRegularExpression runLike(QStringLiteral("^\\d{8}-\\d{6}-\\d{3}"));
        if (label->trimmed().isEmpty() || label->size() > 100 ||
            label->contains(QRegularExpression(QStringLiteral("[\\x00-\\x1f\\x7f]"))) ||
            runLike.match(*label).hasMatch())
            return UsageError(QStringLiteral("--label \"%1\" is not a label (up to 100 "
                                             "characters, not blank, no control characters, "
                                             "not a run's name)")
                                  .arg(*label));
        if (o.journal.off)
            return UsageError(
                QStringLiteral("--label names the run in the journal; it cannot "
                               "go with --no-journal"));
        o.label = *label;
    }
    o.jobs = DefaultJobs();
    if (jobs) {
        bool ok = false;
        o.jobs = jobs->toInt(&ok);
        if (!ok || o.jobs < 1 || o.jobs > kMaxJobs)
            return UsageError(QStringLiteral("--jobs \"%1\" is not a whole number from 1 to %2")
                                  .arg(*jobs)
                                  .arg(kMaxJobs));
    }
    if (!modeName)
        return UsageError(QStringLiteral("--mode is missing (first, last, after or before)"));
    const std::optional<engine::Mode> mode = engine::ModeFromName(*modeName);
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

    if (engine::NeedsX(o.mode)) {
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
    if (o.size && !engine::IsUsableFontSize(*o.size))
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
        "                       [--journal-days N] [--journal-size SIZE] [--label NAME]\n"
        "                       [--jobs N] PATH...\n"
        "       lineforge-batch --runs [--json]\n"
        "       lineforge-batch --undo [RUN|LABEL] [--json]\n"
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
               "                         (at most 1 MiB, as for --lines); \"-\" reads standard "
               "input\n"
               "  --x TEXT               the text to look for (after and before modes only)\n"
               "  --font NAME            font of the inserted text (default: the window's choice)\n"
               "  --size SIZE            font size in points (default: the window's choice, else "
               "12)\n"
               "  --ext EXT              extension of the files taken from folders (default: the\n"
               "                         window's last answer, else doc; doc also finds .docx)\n"
               "  --json                 one JSON object per document on standard output\n"
               "  --settings FILE        read the window's saved choices from this INI file\n"
               "  --jobs N               process N documents at once (default: the processors,\n"
               "                         at most 8); results are still reported in order\n"
               "  --label NAME           mark the run; the runs of one label are listed, kept\n"
               "                         and undone together (for batches split over calls)\n"
               "\n"
               "%1\n"
               "Failures are reported on standard error, one per failure, and a summary ends the "
               "run.\n"
               "A document in which x is found nowhere is unchanged: it is not rewritten.\n"
               "Exit status: 0 every document changed or unchanged, 1 some skipped or failed (or\n"
               "left out by the folder walk), 2 usage error. --undo: 0 every document restored\n"
               "(or already as it was), 1 some left as they are or failed, 2 no such run.\n")
               .arg(JournalHelpText());
}

}  // namespace batch
