// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/AboutUnit.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include "platform/ObjectNames.h"

// The build passes both from the project's version and release date.
#ifndef TAVEL_VERSION
#error "TAVEL_VERSION is set by the build"
#endif
#ifndef TAVEL_RELEASE_DATE
#error "TAVEL_RELEASE_DATE is set by the build"
#endif

QString TAboutBox::Version() { return QStringLiteral(TAVEL_VERSION); }
QString TAboutBox::ReleaseDate() { return QStringLiteral(TAVEL_RELEASE_DATE); }

TAboutBox::TAboutBox(QWidget* Parent) : QDialog(Parent) {
  setWindowTitle("About");
  setModal(true);
  setFixedSize(313, 278);

  LabelPanel = new QFrame(this);
  LabelPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  LabelPanel->setGeometry(8, 8, 297, 217);
  ProductName = new QLabel("Tavel", LabelPanel);
  QFont big = ProductName->font();
  big.setPointSize(big.pointSize() * 2);
  big.setBold(true);
  ProductName->setFont(big);
  ProductName->setGeometry(16, 24, 265, 40);
  auto* purpose = new QLabel("Frame-by-frame animation of jointed stick figures.", LabelPanel);
  purpose->setWordWrap(true);
  purpose->setGeometry(16, 72, 265, 40);
  VersionLabel = new QLabel("Version " + Version(), LabelPanel);
  VersionLabel->setGeometry(16, 136, 265, 20);
  ReleaseLabel = new QLabel("Released " + ReleaseDate(), LabelPanel);
  ReleaseLabel->setGeometry(16, 168, 265, 20);

  OKButton = new QPushButton("OK", this);
  OKButton->setGeometry(119, 240, 75, 25);
  OKButton->setDefault(true);
  connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  KeepDesignNames({{LabelPanel, "Panel1"}});
}
