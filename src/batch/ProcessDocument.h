#pragma once

#include <QString>
#include <QStringList>

#include "batch/DocumentReports.h"
#include "engine/DocumentOutcome.h"
#include "engine/InsertContext.h"
#include "engine/Modes.h"

namespace batch {

// What happened to one document, as the window's run tells it too.
using engine::Outcome;

struct DocumentResult {
    QString path;
    Outcome outcome = Outcome::kFailed;
    bool saved = false;
    long insertions = 0;   // what the saved file received; 0 when it was not saved
    QStringList messages;  // the full texts of the reports and messages, in order
};

// The message of a document left unsaved without any report or message of the procedure.
inline const QString kNotSavedMessage = QStringLiteral("The document was not saved.");

// The word used for an outcome in the summary and in JSON.
using engine::OutcomeName;

// Everything one document needs: the per-document procedures' context, whose errors and dialogs
// are reports.
struct DocumentServices {
    engine::InsertContext context;
    DocumentReports& reports;
};

// Runs the window's per-document procedure of mode on path (x in the x modes), exactly as the
// insertion run calls it, and tells what came of it. Never raises.
DocumentResult ProcessDocument(const DocumentServices& s, engine::Mode mode, const QString& path,
                               const QString& x);

}  // namespace batch
