#include "app/InfoWindow.h"

#include "app/JpegImage.h"
#include "platform/Process.h"
#include "ui_InfoWindow.h"

#include <QFile>
#include <QMouseEvent>
#include <QPixmap>
#include <QScreen>

static void registerInfoResources() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(skarvel);
        return true;
    }();
    (void)registered;
}

namespace skarvel {

namespace {

constexpr int creditPixelSize = 16;
const char* const linkColour = "#008080";

QString linkText(const QString& target, const QString& shown) {
    return QStringLiteral("<a href=\"%1\" style=\"color:%2; text-decoration:none;\">%3</a>")
        .arg(target.toHtmlEscaped(), QString::fromLatin1(linkColour), shown.toHtmlEscaped());
}

QPixmap aboutPicture() {
    registerInfoResources();
    QFile file(QStringLiteral(":/about.jpg"));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QPixmap::fromImage(decodeJpeg(file.readAll()));
}

} // namespace

TformInfo::TformInfo(QWidget* parent, AddressOpener opener, std::string_view contact)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      ui_(std::make_unique<Ui::TformInfo>()),
      opener_(opener ? std::move(opener) : AddressOpener(&skarvel::openAddress)) {
    ui_->setupUi(this);
    setFixedSize(522, 418);

    ui_->imgPicture->setPixmap(aboutPicture());
    ui_->imgPicture->installEventFilter(this);

    QFont credit = ui_->labCredit->font();
    credit.setBold(true);
    credit.setPixelSize(creditPixelSize);
    ui_->labCredit->setFont(credit);
    QPalette purple = ui_->labCredit->palette();
    purple.setColor(QPalette::WindowText, QColor(0x80, 0x00, 0x80));
    ui_->labCredit->setPalette(purple);

    const QString web = QString::fromLatin1(webAddress);
    const QString mail = QString::fromUtf8(contact.data(), std::ssize(contact));
    ui_->labWeb->setText(linkText(web, web));
    ui_->labMail->setText(linkText(QStringLiteral("mailto:") + mail, mail));
    ui_->labComments->setVisible(!mail.isEmpty());
    ui_->labMail->setVisible(!mail.isEmpty());
    connect(ui_->labWeb, &QLabel::linkActivated, this, &TformInfo::openLink);
    connect(ui_->labMail, &QLabel::linkActivated, this, &TformInfo::openLink);
    connect(ui_->btClose, &QPushButton::clicked, this, &QDialog::accept);
}

TformInfo::~TformInfo() = default;

void TformInfo::openLink(const QString& address) {
    opener_(address.toStdString());
}

bool TformInfo::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui_->imgPicture && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        openLink(QString::fromLatin1(galleryAddress));
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TformInfo::showEvent(QShowEvent* event) {
    // Centred on the screen, not over the main window.
    if (const QScreen* screen = this->screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    QDialog::showEvent(event);
}

} // namespace skarvel
