// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/ShortcutsUnit.h"

#include <QTextBrowser>
#include <QVBoxLayout>

#include "builder/BuilderHotkeys.h"
#include "editor/MainHotkeys.h"

namespace {
QString Table(const QString& Title, const QList<THotkeyRow>& Rows) {
  QString html = QStringLiteral("<h3>%1</h3><table cellspacing=0 cellpadding=3>").arg(Title);
  for (const THotkeyRow& row : Rows) {
    if (row.Keys.isEmpty()) continue;
    QString what = row.Hint.toHtmlEscaped();
    if (!row.More.isEmpty()) what += QStringLiteral(": ") + row.More.toHtmlEscaped();
    html += QStringLiteral("<tr><td><b>%1</b></td><td>%2</td></tr>").arg(row.Keys.toHtmlEscaped(), what);
  }
  return html + QStringLiteral("</table>");
}
}  // namespace

TShortcutsForm::TShortcutsForm(QWidget* Parent) : QDialog(Parent) {
  setWindowTitle(QStringLiteral("Keyboard Shortcuts"));
  List = new QTextBrowser(this);
  List->setHtml(Table(QStringLiteral("Main window"), MainHotkeys()) +
                Table(QStringLiteral("Stick Figure Builder"), BuilderHotkeys()));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(List);
  resize(460, 520);
}
