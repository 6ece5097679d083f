#include "app/unit1.h"

#include "app/jpegdecoder.h"
#include "app/trainer.h"
#include "ui/dialogplacement.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QRegion>
#include <QScreen>
#include <QTimer>

namespace {

constexpr double kSplashOpacity = 220.0 / 255.0;
constexpr qint64 kProgressFrameMs = 16;

QPixmap splashPicture()
{
    QFile file(QStringLiteral(":/app/splash.jpg"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray data = file.readAll();
    const wordlark::Result<wordlark::RgbPicture> picture = wordlark::decodeJpeg(data);
    if (!picture)
        return {};
    const QImage image(reinterpret_cast<const uchar *>(picture->pixels.constData()), picture->width,
                       picture->height, picture->width * 3, QImage::Format_RGB888);
    return QPixmap::fromImage(image); // copies, so the decoded bytes may go
}

} // namespace

TForm1::TForm1(wordlark::Trainer &trainer)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint)
    , m_trainer(trainer)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Wordlark"));
    setWindowOpacity(kSplashOpacity);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    const QPixmap picture = splashPicture();
    Image1->setPixmap(picture);
    Image1->setGeometry(0, 0, picture.isNull() ? 459 : picture.width(),
                        picture.isNull() ? 459 : picture.height());
    // Presses on the picture go to the window, so the whole circle can be dragged. (A disabled label would
    // do the same but draws its picture greyed.)
    Image1->setAttribute(Qt::WA_TransparentForMouseEvents);

    Label1 = new QLabel(QStringLiteral("Please, wait..."), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAutoFillBackground(true);
    Label1->adjustSize();
    Label1->move(200, 208);
    Label1->hide();

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setGeometry(32, 224, 393, 16);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->hide();

    Button1 = new QPushButton(QStringLiteral("Go!"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(192, 220, 75, 25);
    Button1->hide();
    connect(Button1, &QPushButton::clicked, this, &TForm1::Button1Click);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    connect(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);

    PrepareForLoading();

    connect(&m_trainer, &wordlark::Trainer::loadStarting, this, &TForm1::showLoadStarting);
    connect(&m_trainer, &wordlark::Trainer::dictionaryRead, this, &TForm1::showDictionaryRead);
    connect(&m_trainer, &wordlark::Trainer::loadProgress, this, &TForm1::showLoadProgress);
    connect(&m_trainer, &wordlark::Trainer::dictionaryChanged, this, &TForm1::showLoadEnded);
}

const QString &TForm1::DictionaryPath() const
{
    return m_trainer.dictionaryPath();
}

void TForm1::PrepareForLoading()
{
    setFixedSize(Image1->size());
    centreOnScreen(this);
    setMask(QRegion(-1, 0, width() + 3, height() + 1, QRegion::Ellipse));
    QPalette palette = ProgressBar1->palette();
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Window, Qt::white);
    ProgressBar1->setPalette(palette);
    ProgressBar1->setValue(0);
}

void TForm1::startLoadTimer(std::chrono::milliseconds delay)
{
    Timer1->start(delay);
}

void TForm1::Timer1Timer()
{
    Timer1->stop();
    Button1Click();
}

void TForm1::Button1Click()
{
    m_trainer.changeDictionary(m_trainer.dictionaryPath());
}

void TForm1::showLoadStarting()
{
    // At start the window is already on screen, where the learner may have dragged it.
    if (!isVisible()) {
        PrepareForLoading();
        show();
    }
    Label1->show();
    ProgressBar1->show();
    ProgressBar1->setMinimum(0);
}

void TForm1::showDictionaryRead(const wordlark::DictionaryRead &read)
{
    // Drawn once the other listeners of the start have run, so the quiz screen is already hidden.
    QCoreApplication::processEvents();
    if (read.builtInUsed)
        showMessage(this, QMessageBox::Information, QStringLiteral("Wordlark"),
                    QStringLiteral("Dictionary file not found. Now default dictionary will loading."),
                    QStringLiteral("DictionaryNotFound"));
    ProgressBar1->setMaximum(read.lineCount);
    ProgressBar1->setValue(0);
    m_sinceRedraw.start();
}

// The window repaints and can be dragged while the lines are parsed. The bar is redrawn at most once a
// frame: a synchronous repaint per line would cost more than the parsing itself.
void TForm1::showLoadProgress(int line)
{
    QCoreApplication::processEvents();
    if (m_sinceRedraw.elapsed() >= kProgressFrameMs) {
        ProgressBar1->setValue(line);
        m_sinceRedraw.restart();
    }
}

void TForm1::showLoadEnded(const wordlark::DictionaryRead &read)
{
    ProgressBar1->setValue(read.lineCount);
    hide();
}

void TForm1::mousePressEvent(QMouseEvent *event)
{
    m_dragging = true;
    m_pressOffset = event->globalPosition().toPoint() - pos();
}

void TForm1::mouseMoveEvent(QMouseEvent *event)
{
    if (m_dragging)
        move(event->globalPosition().toPoint() - m_pressOffset);
}

void TForm1::mouseReleaseEvent(QMouseEvent *)
{
    m_dragging = false;
}

void TForm1::closeEvent(QCloseEvent *event)
{
    event->accept();
    QCoreApplication::quit();
}
