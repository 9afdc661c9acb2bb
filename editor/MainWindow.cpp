// Start-up, new and discarded projects, the enabled state of the figure
// controls, layout on resize, figure selection with the mouse wheel, closing.

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QComboBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSpinBox>
#include <QWheelEvent>

#include "builder/FigureBuilderUnit.h"
#include "editor/MainUnit.h"
#include "editor/TimelineStrip.h"
#include "model/Common.h"
#include "model/Pictures.h"
#include "platform/PictureBox.h"

TMainForm::TMainForm(TDialogs& DialogService, QWidget* Parent) : QMainWindow(Parent), Dialogs(DialogService) {
  setWindowTitle("Tavel: Hotkeys");
  QFont small = font();
  small.setPointSize(8);
  setFont(small);
  CreateControls();
  CreateMenu();
  ConnectHandlers();
  resize(664, 569);
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  qApp->installEventFilter(this);
  FormCreate();
}

TMainForm::~TMainForm() { qApp->removeEventFilter(this); }

void TMainForm::FormCreate() {
  ThemeOffset = ThemesActive() ? 8 : 0;
  Background = QImage();
  BackgroundJpeg.clear();
  BackgroundJpegSize = BackgroundJpegShown = QSize();
  BackgroundKind = 0;
  Underlay = QImage();
  CreateFigureTypeTable();
  EditFrame = TFigures();
  AnimationWidth = EditImage->width();
  AnimationHeight = EditImage->height();
  FirstActivation = true;
  ProjectSaved = true;
  NewProject();
}

namespace {
// A picture of Size to take Current's place: Current itself when it already
// fits, so nothing new is needed, else a new one.
QImage PictureFor(const QImage& Current, QSize Size) {
  if (Current.size() == Size && Current.format() == QImage::Format_RGB32) return Current;
  return NewPicture(Size);
}
}  // namespace

TMainForm::TDrawingPictures TMainForm::MakeDrawingPictures(QSize Size) const {
  return {PictureFor(Underlay, Size), PictureFor(EditImage->Picture(), Size)};
}

void TMainForm::SizeEditImage(QImage&& Picture) {
  EditImage->resize(AnimationWidth, AnimationHeight);
  EditImage->parentWidget()->resize(AnimationWidth + 4, AnimationHeight + 4);
  EditImage->Picture() = std::move(Picture);
}

void TMainForm::NewProject() {
  // The pictures come first: when one cannot be made, nothing has changed.
  const QSize size(AnimationWidth, AnimationHeight);
  QImage background = PictureFor(Background, size);
  TDrawingPictures drawing = MakeDrawingPictures(size);
  if (!DestroyProject()) return;

  Background = std::move(background);
  Underlay = std::move(drawing.Underlay);
  SizeEditImage(std::move(drawing.Area));

  SelectedHandle = NoHandle;
  EnableFigureControls(true);
  SetScaleEditFromScale(1.0f);
  ColorDialog1.Color = ColorBlack;
  EditedFrameIndex = -1;

  EditImage->Picture().fill(Qt::white);
  Background.fill(Qt::white);
  Underlay.fill(Qt::white);

  HasBackground = false;
  ClearBackground1->setEnabled(false);

  EditFrame.SetCount(1);
  TFigure& stickman = EditFrame.Items[0];
  stickman = TFigure();
  stickman.SetType(1);
  stickman.MoveBy(RealPoint(static_cast<float>(AnimationWidth / 2), static_cast<float>(AnimationHeight / 2)));

  SelectedFigure = 0;
  IgnoreScaleChange = false;
  DrawFigures();
}

bool TMainForm::DestroyProject() {
  if (!ProjectSaved && !SaveProjectAsTvl()) return false;
  Bevel1->hide();
  Frames.clear();
  TimelineImages->Clear();
  if (FigureTypeCount() > 2) {
    FigureComboBox->setCurrentIndex(0);
    while (FigureComboBox->count() > 1) FigureComboBox->removeItem(1);
  }
  TruncateFigureTypes();
  return true;
}

void TMainForm::EnableFigureControls(bool Enable) {
  if (FigureControlsEnabled == Enable) return;
  FigureControlsEnabled = Enable;
  // During playback the controls stay off; Stop applies the recorded state.
  if (Timer1->isActive()) return;
  for (QWidget* control : FigureControls()) control->setEnabled(Enable);
}

std::array<QWidget*, 8> TMainForm::FigureControls() const {
  return {DeleteFigureButton, EditTypeButton, CenterButton, FlipButton,
          ColorButton,        ScaleSpinEdit,  FrontButton,  BackButton};
}

void TMainForm::SetFigureControls(int Index) {
  if (EditFrame.Count() == 0 || Index < 0 || Index >= EditFrame.Count()) return;
  SetScaleEditFromScale(EditFrame.Items[Index].Scale);
  ColorDialog1.Color = EditFrame.Items[Index].Color;
}

namespace {
bool StartsLikeAProject(const QString& Path) {
  QFile file(Path);
  return file.open(QIODevice::ReadOnly) && file.read(2) == QByteArray("\x78\xda", 2);
}
}  // namespace

void TMainForm::FormActivate() {
  if (!FirstActivation) return;
  FirstActivation = false;
  if (CommandLine.isEmpty()) return;
  const QString path = CommandLine.constFirst();
  const QString ending = path.right(3).toLower();
  if (ending == "tvl" || (ending != "stk" && StartsLikeAProject(path))) {
    // A project renamed without its ending is known by its first bytes, as
    // the desktop knows it when the file is opened from a file manager.
    LoadProject(path);
  } else if (ending == "stk") {
    if (FigureBuilder == nullptr) return;
    FigureBuilder->ShowInFront();
    FigureBuilder->OpenFigure(path);
  } else {
    Dialogs.ShowMessage(this, "that is not a tvl or stk file");
  }
}

void TMainForm::FormResize() {
  ScrollBox1->resize(width() - 24, ScrollBox1->height());
  ScrollBox2->resize(width() - ScrollBox2->x() - 16, height() - ScrollBox2->y() - 56);
}

void TMainForm::FormMouseWheelDown() {
  if (EditFrame.Count() < 2) return;
  SelectedFigure = SelectedFigure == 0 ? EditFrame.Count() - 1 : SelectedFigure - 1;
  DrawFigures();
  SetFigureControls(SelectedFigure);
}

void TMainForm::FormMouseWheelUp() {
  if (EditFrame.Count() < 2) return;
  SelectedFigure = SelectedFigure + 1 >= EditFrame.Count() ? 0 : SelectedFigure + 1;
  DrawFigures();
  SetFigureControls(SelectedFigure);
}

bool TMainForm::FormClose() { return ProjectSaved || SaveProjectAsTvl(); }

bool TMainForm::HandleWheel(QWheelEvent* Event) {
  // One notch is 120; finer wheels and touchpads add up to whole notches.
  WheelRemainder += Event->angleDelta().y();
  while (WheelRemainder >= 120) {
    WheelRemainder -= 120;
    Guard([this] { FormMouseWheelUp(); });
  }
  while (WheelRemainder <= -120) {
    WheelRemainder += 120;
    Guard([this] { FormMouseWheelDown(); });
  }
  return true;
}

bool TMainForm::eventFilter(QObject* Watched, QEvent* Event) {
  // Every wheel turn over this window selects figures, whether the window is
  // active or not; nothing in it scrolls or steps with the wheel.
  if (Event->type() == QEvent::Wheel && Watched->isWidgetType() &&
      static_cast<QWidget*>(Watched)->window() == this)
    return HandleWheel(static_cast<QWheelEvent*>(Event));
  return QMainWindow::eventFilter(Watched, Event);
}

bool TMainForm::event(QEvent* Event) {
  const bool result = QMainWindow::event(Event);
  if (Event->type() == QEvent::WindowActivate) Guard([this] { FormActivate(); });
  // Where no window manager activates the window (or one that keeps new
  // windows from taking the focus), the first showing stands in for the
  // first activation, once the window is on the screen.
  if (Event->type() == QEvent::Show && FirstActivation)
    QTimer::singleShot(0, this, [this] { Guard([this] { FormActivate(); }); });
  return result;
}

void TMainForm::resizeEvent(QResizeEvent* Event) {
  QMainWindow::resizeEvent(Event);
  FormResize();
}

void TMainForm::closeEvent(QCloseEvent* Event) {
  bool close = true;
  Guard([&] { close = FormClose(); });
  if (!close) {
    Event->ignore();
    return;
  }
  Event->accept();
  emit Closed();
}

QStringList TMainForm::FigureTypeNames() const {
  QStringList names;
  for (int i = 0; i < FigureComboBox->count(); ++i) names << FigureComboBox->itemText(i);
  return names;
}

void TMainForm::AppendFigureTypeName(const QString& Name) {
  FigureComboBox->addItem(Name);
  FigureComboBox->setCurrentIndex(FigureComboBox->count() - 1);
}
