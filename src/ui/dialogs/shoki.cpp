#include "ui/dialogs/shoki.h"
#include "settings/settingwords.h"
#include "omvex/appinfo.h"

#include "ui/common/look.h"
#include "ui/dialogs/dialoglayout.h"

#include <QButtonGroup>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include <cmath>
#include <string_view>

namespace omvex::ui {

namespace {

constexpr TwipsSize kOuterSize{5900, 4200};
constexpr QRgb kLightOrange = 0xFFFFE0C0u;

// Option buttons are placed inside their frame; everything else on the dialog. Each frame's
// buttons follow one another by index, so Option1(i) is row rowOf("Option1(0)") + i.
constexpr ControlLook kLayout[] = {
    {"Label3", "初期設定", 600, 240, 2895, 495, 18, true, kBlue, kLightOrange},
    {"Command1", "OK", 4080, 240, 1455, 495, 12, true, kSystemColour, kSystemColour},
    {"Frame1", kLevelName, 240, 1080, 1455, 2415, 12, false, kBlue, kSystemColour},
    {"Frame2", kPatternName, 1920, 1080, 1695, 1455, 12, false, kBlue, kSystemColour},
    {"Frame3", kKakoName, 3840, 1080, 1695, 2415, 12, false, kBlue, kSystemColour},
    {"Option1(0)", kLevelWords[0], 240, 480, 855, 255, 12, false, kSystemColour, kSystemColour},
    {"Option1(1)", kLevelWords[1], 240, 960, 855, 255, 12, false, kSystemColour, kSystemColour},
    {"Option1(2)", kLevelWords[2], 240, 1440, 855, 255, 12, false, kSystemColour, kSystemColour},
    {"Option1(3)", kLevelWords[3], 240, 1920, 855, 255, 12, false, kSystemColour, kSystemColour},
    {"Option2(0)", kPatternWords[0], 240, 480, 1095, 255, 12, false, kSystemColour, kSystemColour},
    {"Option2(1)", kPatternWords[1], 240, 960, 1095, 255, 12, false, kSystemColour, kSystemColour},
    {"Option3(0)", kKakoWords[0], 240, 480, 975, 255, 12, false, kSystemColour, kSystemColour},
    {"Option3(1)", kKakoWords[1], 240, 960, 975, 255, 12, false, kSystemColour, kSystemColour},
    {"Option3(2)", kKakoWords[2], 240, 1440, 975, 255, 12, false, kSystemColour, kSystemColour},
    {"Option3(3)", kKakoWords[3], 240, 1920, 975, 255, 12, false, kSystemColour, kSystemColour},
};

// The design's keyboard order; "無し" really does come after "OK". Frames and the title take no
// focus and are left out.
constexpr std::string_view kTabOrder[] = {
    "Option1(0)", "Option1(1)", "Option1(2)", "Option1(3)", "Option2(0)", "Option2(1)",
    "Option3(0)", "Option3(1)", "Option3(2)", "Command1",   "Option3(3)",
};

const QString kCaption = QStringLiteral("初期設定");

template <std::size_t N>
QButtonGroup *createOptions(QGroupBox *frame, QRadioButton *(&options)[N], std::size_t firstRow)
{
    auto *group = new QButtonGroup(frame);
    group->setExclusive(true);
    for (std::size_t i = 0; i < N; ++i) {
        options[i] = new QRadioButton(frame);
        applyLook(*options[i], kLayout[firstRow + i]);
        options[i]->setFocusPolicy(Qt::ClickFocus);
        group->addButton(options[i], static_cast<int>(i));
    }
    // Tab stops only on the ticked button of a frame, wherever it stands in the keyboard order;
    // the arrow keys move within the frame, which they do whatever the focus policy.
    QObject::connect(group, &QButtonGroup::buttonToggled, group, [](QAbstractButton *button, bool checked) {
        button->setFocusPolicy(checked ? Qt::StrongFocus : Qt::ClickFocus);
    });
    return group;
}

} // namespace

QString saveFailureText(const QString &iniPath, const QString &error)
{
    const QString path = QDir::toNativeSeparators(iniPath);
    const QString notSaved = QStringLiteral("保存できませんでした");
    QString text;
    // The store's own text usually names the file and says what failed; saying it twice only
    // confuses, so it is completed rather than repeated.
    if (!error.contains(path) && !error.contains(iniPath)) {
        text = QStringLiteral("設定を %1 に%2。").arg(path, notSaved);
        if (!error.isEmpty())
            text += QStringLiteral("\n理由: ") + error;
    } else if (error.contains(notSaved)) {
        text = error;
    } else {
        text = QStringLiteral("設定を%1。\n").arg(notSaved) + error;
    }
    return text + QStringLiteral("\n選んだ設定は今回の実行中だけ有効です。");
}

Shoki::Shoki(Settings &settings, const SettingsStore &store, platform::MessageBox &messages, QWidget *parent)
    : QDialog(parent), m_settings(settings), m_store(store), m_messages(messages)
{
    setWindowTitle(kCaption);
    createControls();
    Form_Load();
}

void Shoki::createControls()
{
    Label3 = new QLabel(this);
    applyLook(*Label3, kLayout[rowOf(kLayout, "Label3")]);
    Label3->setAlignment(Qt::AlignCenter);
    Label3->setStyleSheet(titleBoxStyle());

    Command1 = new QPushButton(this);
    applyLook(*Command1, kLayout[rowOf(kLayout, "Command1")]);
    // Qt would make an auto-default OK the default button on showing, and then Enter on an option
    // button would save; the design has no default button here.
    Command1->setAutoDefault(false);
    connect(Command1, &QPushButton::clicked, this, &Shoki::Command1_Click);

    QGroupBox **frames[] = {&Frame1, &Frame2, &Frame3};
    constexpr std::size_t frameRows[] = {rowOf(kLayout, "Frame1"), rowOf(kLayout, "Frame2"), rowOf(kLayout, "Frame3")};
    for (std::size_t i = 0; i < 3; ++i) {
        *frames[i] = new QGroupBox(this);
        applyLook(**frames[i], kLayout[frameRows[i]]);
        (*frames[i])->setFocusPolicy(Qt::NoFocus);
    }

    m_levelGroup = createOptions(Frame1, Option1, rowOf(kLayout, "Option1(0)"));
    m_patternGroup = createOptions(Frame2, Option2, rowOf(kLayout, "Option2(0)"));
    m_kakoGroup = createOptions(Frame3, Option3, rowOf(kLayout, "Option3(0)"));

    // Toggled, not clicked: the load's selection and the arrow keys must run the handlers too,
    // so that the choices always equal the selected buttons.
    const auto onSelect = [this](void (Shoki::*handler)(int)) {
        return [this, handler](int index, bool checked) {
            if (checked)
                (this->*handler)(index);
        };
    };
    connect(m_levelGroup, &QButtonGroup::idToggled, this, onSelect(&Shoki::Option1_Click));
    connect(m_patternGroup, &QButtonGroup::idToggled, this, onSelect(&Shoki::Option2_Click));
    connect(m_kakoGroup, &QButtonGroup::idToggled, this, onSelect(&Shoki::Option3_Click));

    chainTabOrder(*this, kTabOrder);
}

void Shoki::Form_Load()
{
    fixDialogFrame(*this, kOuterSize);

    QRadioButton *level = Option1[digit(m_settings.level)];
    level->setChecked(true);
    Option2[digit(m_settings.pattern)]->setChecked(true);
    Option3[digit(m_settings.kako)]->setChecked(true);
    level->setFocus();
}

void Shoki::Option1_Click(int index)
{
    LevelChoice = index;
}

void Shoki::Option2_Click(int index)
{
    PatternChoice = index;
}

void Shoki::Option3_Click(int index)
{
    KakoChoice = index;
}

void Shoki::Command1_Click()
{
    // The new settings hold for this run whatever happens to the file.
    m_settings = {levelFromDigit(LevelChoice), patternFromDigit(PatternChoice), kakoFromDigit(KakoChoice)};
    const SaveResult result = m_store.save(m_settings);
    if (!result.ok)
        m_messages.show(kAppTitle, saveFailureText(m_store.path(), result.error));
    accept();
}

} // namespace omvex::ui
