#include "platform/ProgramPaths.h"

#include <QCoreApplication>

QString ProgramFolder() { return QCoreApplication::applicationDirPath(); }

QString ReadMeFilePath() { return ProgramFolder() + QStringLiteral("/ReadMe.txt"); }

QString AnimationsFolder() { return ProgramFolder() + QStringLiteral("/animations"); }

QString StickFiguresFolder() { return ProgramFolder() + QStringLiteral("/stick figures"); }
