#include "controls/editcontrol.h"

#include "controls/notifier.h"
#include "platform/gdi/dc.h"
#include "platform/window.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>

#include <algorithm>
#include <charconv>
#include <climits>
#include <clocale>
#include <cmath>
#include <cstdlib>

namespace {

// The field reads its text into a buffer of 500 bytes to parse it.
constexpr size_t kNumericBufferBytes = 500;
// Two values this close count as equal for SetDoubleValue.
constexpr double kDoubleTolerance = 0.00001;

QColor ToQColor(COLORREF c) {
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

// Characters of UTF-8 text: every byte that does not continue a sequence.
int CharacterCount(const std::string& text) {
    return int(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// atoi, with results beyond an int held at its ends instead of wrapping.
int ParseInt(const std::string& text) {
    const long value = std::strtol(text.c_str(), nullptr, 10);
    return int(std::clamp<long>(value, INT_MIN, INT_MAX));
}

// atof as the program knows it: a point is the decimal separator whatever
// the user's locale, so "1.5" is one and a half on every machine.
double ParseDouble(const std::string& text) {
    const char* point = std::localeconv()->decimal_point;
    const std::string localPoint = (point && *point) ? point : ".";
    std::string local;
    local.reserve(text.size());
    for (char c : text) {
        if (c == '.')
            local += localPoint;
        else if (localPoint != "." && localPoint.find(c) != std::string::npos)
            local += '\x7f'; // the locale's separator ends the number, as in the C locale
        else
            local += c;
    }
    return std::strtod(local.c_str(), nullptr);
}

std::string FormatFixed6(double value) {
    char text[400];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 6);
    return result.ec == std::errc() ? std::string(text, result.ptr) : std::string();
}

Qt::Alignment AlignmentOf(DWORD style) {
    if (style & ES_RIGHT)
        return Qt::AlignRight;
    if (style & ES_CENTER)
        return Qt::AlignHCenter;
    return Qt::AlignLeft;
}

} // namespace

CEditControl::CEditControl(CControlManager* manager, QWidget* parent, int id, const CRect* rect,
                           const char* text, DWORD initialFlags, DWORD style)
    : QWidget(parent), CControlBase(manager, parent, id, rect, style), m_crText(0x000000),
      m_pMultiLine(nullptr), m_pSingleLine(nullptr), m_bQuiet(false) {
    m_dwFlags = initialFlags;
    if (m_dwFlags & EDIT_NUMERIC)
        m_dwStyle &= ~ES_MULTILINE;
    platform::SetDlgCtrlID(this, id);
    platform::MoveWindow(this, m_rcWindow);
    CreateEditor();
    setVisible(m_dwStyle & WS_VISIBLE);
    setEnabled(!(m_dwStyle & WS_DISABLED));
    m_pWnd = this;
    if (text)
        SetTextQuietly(text);
    SetBackgroundColor(0xBFBFBF);
    ApplyColours();
}

CEditControl::~CEditControl() = default;

void CEditControl::CreateEditor() {
    if (m_dwStyle & ES_MULTILINE) {
        m_pMultiLine = new QPlainTextEdit(this);
        m_pMultiLine->setFrameShape(QFrame::NoFrame);
        m_pMultiLine->installEventFilter(this);
        connect(m_pMultiLine, &QPlainTextEdit::textChanged, this, &CEditControl::OnTextChanged);
    } else {
        m_pSingleLine = new QLineEdit(this);
        m_pSingleLine->setFrame(false);
        connect(m_pSingleLine, &QLineEdit::textChanged, this, &CEditControl::OnTextChanged);
    }
    QWidget* editor = GetEditor();
    setFocusProxy(editor);
    ApplyStyle();
}

QWidget* CEditControl::GetEditor() const {
    return m_pMultiLine ? static_cast<QWidget*>(m_pMultiLine) : m_pSingleLine;
}

void CEditControl::FitEditor() {
    const int border = (m_dwStyle & WS_BORDER) ? 1 : 0;
    GetEditor()->setGeometry(border, border, std::max(0, width() - 2 * border),
                             std::max(0, height() - 2 * border));
}

void CEditControl::ApplyStyle() {
    FitEditor();
    const bool readOnly = m_dwStyle & ES_READONLY;
    const Qt::Alignment alignment = AlignmentOf(m_dwStyle);
    if (m_pMultiLine) {
        QTextOption option = m_pMultiLine->document()->defaultTextOption();
        option.setAlignment(alignment);
        m_pMultiLine->document()->setDefaultTextOption(option);
        m_pMultiLine->setReadOnly(readOnly);
        // Without horizontal scrolling a multi-line field wraps its lines.
        m_pMultiLine->setLineWrapMode((m_dwStyle & ES_AUTOHSCROLL) ? QPlainTextEdit::NoWrap
                                                                   : QPlainTextEdit::WidgetWidth);
        m_pMultiLine->setVerticalScrollBarPolicy((m_dwStyle & WS_VSCROLL) ? Qt::ScrollBarAlwaysOn
                                                                          : Qt::ScrollBarAlwaysOff);
        m_pMultiLine->setHorizontalScrollBarPolicy(
            (m_dwStyle & WS_HSCROLL) ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    } else {
        // A single line starts at the top of the field.
        m_pSingleLine->setAlignment(alignment | Qt::AlignTop);
        m_pSingleLine->setReadOnly(readOnly);
    }
}

void CEditControl::ApplyColours() {
    QWidget* editor = GetEditor();
    QPalette palette = editor->palette();
    palette.setColor(QPalette::Text, ToQColor(m_crText));
    palette.setColor(QPalette::Base, ToQColor(m_crBackground));
    palette.setColor(QPalette::Window, ToQColor(m_crBackground));
    // A disabled field shows its text in the system's grey, whatever colour it has.
    palette.setColor(QPalette::Disabled, QPalette::Text, ToQColor(GetSysColor(COLOR_GRAYTEXT)));
    editor->setPalette(palette);
}

// Text ------------------------------------------------------------------------------

std::string CEditControl::GetWindowText() const {
    if (m_pMultiLine)
        return ReplaceAll(m_pMultiLine->toPlainText().toStdString(), "\n", "\r\n");
    return m_pSingleLine->text().toStdString();
}

void CEditControl::SetTextQuietly(const std::string& text) {
    const bool was = m_bQuiet;
    m_bQuiet = true;
    if (m_pMultiLine)
        m_pMultiLine->setPlainText(QString::fromStdString(ReplaceAll(text, "\r\n", "\n")));
    else
        m_pSingleLine->setText(QString::fromStdString(text));
    m_bQuiet = was;
}

void CEditControl::SetWindowText(const std::string& text) {
    SetTextQuietly(text);
    Fire(0);
}

void CEditControl::OnTextChanged() {
    if (!m_bQuiet)
        Fire(0);
}

bool CEditControl::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_pMultiLine && event->type() == QEvent::KeyPress &&
        !(m_dwStyle & ES_WANTRETURN)) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

// Control operations ----------------------------------------------------------------------

BOOL CEditControl::Fire(int) {
    const BOOL intResult = Notify(m_nId, kNotifyValue, kValueInt, GetIntValue(), 0);
    const BOOL doubleResult =
        Notify(m_nId, kNotifyValue, kValueDouble, FromDouble(GetDoubleValue()), 0);
    const BOOL selectResult = Notify(m_nId, kNotifySelect, 0, 0, 0);
    if (!selectResult || !doubleResult)
        return 0;
    return intResult;
}

void* CEditControl::GetBackgroundBrush() {
    ApplyColours();
    return CControlBase::GetBackgroundBrush();
}

void CEditControl::Redraw(const RECT*, int) {
    ApplyStyle();
    GetBackgroundBrush();
    repaint();
    if (m_pMultiLine)
        m_pMultiLine->viewport()->repaint();
    else
        m_pSingleLine->repaint();
}

BOOL CEditControl::ModifyStyle(DWORD remove, DWORD add, UINT swpFlags) {
    const BOOL result = CControlBase::ModifyStyle(remove, add, swpFlags);
    // Painting may be off (while a window builds its controls), so the base
    // need not have redrawn; the new style holds at once all the same.
    if (result)
        ApplyStyle();
    return result;
}

void CEditControl::SetFont(const QFont& font, BOOL redraw) {
    GetEditor()->setFont(font);
    if (redraw)
        Redraw(nullptr, 0);
}

void CEditControl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FitEditor();
}

void CEditControl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    CDC dc(&painter);
    dc.FillSolidRect(0, 0, width(), height(), m_crBackground);
    if (m_dwStyle & WS_BORDER)
        dc.Draw3dRect(0, 0, width(), height(), 0x000000, 0x000000);
}

// Values ------------------------------------------------------------------------------

std::string CEditControl::NumericText() const {
    std::string text = GetWindowText();
    if (text.size() > kNumericBufferBytes - 1)
        text.resize(kNumericBufferBytes - 1);
    return text;
}

int CEditControl::GetIntValue() {
    if (!(m_dwFlags & EDIT_NUMERIC))
        return CharacterCount(GetWindowText());
    const std::string text = NumericText();
    return text.empty() ? -1 : ParseInt(text);
}

double CEditControl::GetDoubleValue() {
    if (!(m_dwFlags & EDIT_NUMERIC))
        return CharacterCount(GetWindowText());
    const std::string text = NumericText();
    return text.empty() ? -1.0 : ParseDouble(text);
}

void CEditControl::SetIntValue(int value) {
    if (value == GetIntValue())
        return;
    SetTextQuietly(std::to_string(value));
    Fire(0);
}

void CEditControl::SetDoubleValue(double value) {
    if (std::fabs(GetDoubleValue() - value) <= kDoubleTolerance)
        return;
    SetTextQuietly(FormatFixed6(value));
    Fire(0);
}
