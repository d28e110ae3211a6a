#include "ui/dialogs/verj.h"

#include "omvex/appinfo.h"
#include "ui/dialogs/dialoglayout.h"
#include "ui/common/look.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace omvex::ui {

namespace {

constexpr TwipsSize kOuterSize{6000, 2900};
constexpr int kIconPixels = 48;

// lblTitle and lblVersion carry their design-time texts until the load replaces them.
constexpr ControlLook kLayout[] = {
    {"cmdOK", "OK", 4320, 2040, 1380, 345, 9, false, kSystemColour, kSystemColour},
    {"picIcon", "", 240, 240, 780, 780, 9, false, kSystemColour, kSystemColour},
    {"lblTitle", "ｱﾌﾟﾘｹｰｼｮﾝ ﾀｲﾄﾙ", 1440, 240, 3885, 360, 14.25, false, kBlue, kSystemColour},
    {"lblVersion", "ﾊﾞｰｼﾞｮﾝ", 1440, 720, 3885, 225, 12, false, kSystemColour, kSystemColour},
    {"lblDescription", "Omvexの数字6個を予想します。", 1440, 1080, 3885, 330, 14.25, false, kBlack, kSystemColour},
    {"Label1", "Omvex 開発チーム", 720, 2040, 3255, 255, 14.25, true, kBlue, kSystemColour},
};

// The etched separator: a grey line with a white one just below it. The design gives each line
// from one point to another with a pen width in pixels; a line is drawn downwards from its y.
struct SeparatorLine {
    const char *name;
    int x1;
    int x2;
    int y;
    int widthPixels;
    QRgb colour;
};
constexpr SeparatorLine kLines[] = {
    {"Line1(0)", 105, 5654, 1860, 2, 0xFFFFFFFFu},
    {"Line1(1)", 90, 5654, 1845, 1, 0xFF808080u},
};

constexpr std::string_view kTabOrder[] = {"cmdOK", "picIcon"};

const QString kCaptionSuffix = QStringLiteral("のﾊﾞｰｼﾞｮﾝ情報");
const QString kVersionPrefix = QStringLiteral("ﾊﾞｰｼﾞｮﾝ ");

} // namespace

Verj::Verj(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    createControls();
    Form_Load();
}

void Verj::createControls()
{
    cmdOK = new QPushButton(this);
    applyLook(*cmdOK, kLayout[rowOf(kLayout, "cmdOK")]);
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &Verj::cmdOK_Click);

    picIcon = new QLabel(this);
    applyLook(*picIcon, kLayout[rowOf(kLayout, "picIcon")]);
    picIcon->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    picIcon->setPixmap(omvexIcon().pixmap(kIconPixels, kIconPixels));
    picIcon->setFocusPolicy(Qt::StrongFocus);

    QLabel **labels[] = {&lblTitle, &lblVersion, &lblDescription, &Label1};
    constexpr std::size_t labelRows[] = {rowOf(kLayout, "lblTitle"), rowOf(kLayout, "lblVersion"),
                                         rowOf(kLayout, "lblDescription"), rowOf(kLayout, "Label1")};
    for (std::size_t i = 0; i < std::size(labels); ++i) {
        *labels[i] = new QLabel(this);
        applyLook(**labels[i], kLayout[labelRows[i]]);
        (*labels[i])->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }

    for (std::size_t i = 0; i < std::size(kLines); ++i) {
        const SeparatorLine &line = kLines[i];
        Line1[i] = new QFrame(this);
        Line1[i]->setObjectName(QString::fromLatin1(line.name));
        Line1[i]->setGeometry(twipsToPixels(line.x1), twipsToPixels(line.y),
                              twipsToPixels(line.x2) - twipsToPixels(line.x1) + 1, line.widthPixels);
        QPalette palette = Line1[i]->palette();
        palette.setColor(QPalette::Window, QColor::fromRgb(line.colour));
        Line1[i]->setPalette(palette);
        Line1[i]->setAutoFillBackground(true);
    }

    chainTabOrder(*this, kTabOrder);
}

void Verj::Form_Load()
{
    fixDialogFrame(*this, kOuterSize);
    setWindowTitle(kAppTitle + kCaptionSuffix);
    lblVersion->setText(kVersionPrefix +
                        QStringLiteral("%1.%2.%3").arg(kVersionMajor).arg(kVersionMinor).arg(kVersionPatch));
    lblTitle->setText(kAppTitle);
    cmdOK->setFocus();
}

void Verj::cmdOK_Click()
{
    accept();
}

} // namespace omvex::ui
