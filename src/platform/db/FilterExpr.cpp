#include "platform/db/FilterExpr.h"

#include "platform/db/Errors.h"
#include "platform/db/Format.h"

#include <QRegularExpression>

namespace db {

struct FilterExpr::Node {
    enum Kind { And, Or, Not, Compare, IsNull } kind = Compare;
    std::unique_ptr<Node> a, b;
    QString field;
    QString op;
    QVariant value;
    bool negate = false;
};

FilterExpr::~FilterExpr() = default;

namespace {

struct Token {
    enum Kind { End, Ident, String, Number, Op, LParen, RParen } kind = End;
    QString text;
};

class Lexer {
public:
    explicit Lexer(const QString& s) : s_(s) {}
    Token next()
    {
        while (i_ < s_.size() && s_[i_].isSpace())
            ++i_;
        if (i_ >= s_.size())
            return {};
        const QChar c = s_[i_];
        if (c == QLatin1Char('(')) { ++i_; return {Token::LParen, QStringLiteral("(")}; }
        if (c == QLatin1Char(')')) { ++i_; return {Token::RParen, QStringLiteral(")")}; }
        if (c == QLatin1Char('\'')) {
            QString t;
            ++i_;
            while (i_ < s_.size()) {
                if (s_[i_] == QLatin1Char('\'')) {
                    if (i_ + 1 < s_.size() && s_[i_ + 1] == QLatin1Char('\'')) {
                        t += QLatin1Char('\'');
                        i_ += 2;
                        continue;
                    }
                    ++i_;
                    return {Token::String, t};
                }
                t += s_[i_++];
            }
            throw DbError(ErrorCategory::Other, QStringLiteral("Unterminated string in filter"));
        }
        if (c.isDigit() || ((c == QLatin1Char('-') || c == QLatin1Char('.')) && i_ + 1 < s_.size() && s_[i_ + 1].isDigit())) {
            const qsizetype st = i_++;
            while (i_ < s_.size() && (s_[i_].isDigit() || s_[i_] == QLatin1Char('.') || s_[i_] == QLatin1Char('e') || s_[i_] == QLatin1Char('E')))
                ++i_;
            return {Token::Number, s_.mid(st, i_ - st)};
        }
        if (c == QLatin1Char('<') || c == QLatin1Char('>') || c == QLatin1Char('=') || c == QLatin1Char('!')) {
            const qsizetype st = i_++;
            while (i_ < s_.size() && (s_[i_] == QLatin1Char('=') || s_[i_] == QLatin1Char('>')))
                ++i_;
            return {Token::Op, s_.mid(st, i_ - st)};
        }
        if (c.isLetter() || c == QLatin1Char('_') || c == QLatin1Char('[')) {
            if (c == QLatin1Char('[')) {
                const qsizetype end = s_.indexOf(QLatin1Char(']'), i_);
                if (end < 0)
                    throw DbError(ErrorCategory::Other, QStringLiteral("Unterminated name in filter"));
                QString t = s_.mid(i_ + 1, end - i_ - 1);
                i_ = end + 1;
                return {Token::Ident, t};
            }
            const qsizetype st = i_;
            while (i_ < s_.size() && (s_[i_].isLetterOrNumber() || s_[i_] == QLatin1Char('_')))
                ++i_;
            return {Token::Ident, s_.mid(st, i_ - st)};
        }
        throw DbError(ErrorCategory::Other, QStringLiteral("Unexpected character in filter: %1").arg(c));
    }

private:
    const QString& s_;
    qsizetype i_ = 0;
};

class Parser {
public:
    explicit Parser(const QString& s) : lex_(s) { tok_ = lex_.next(); }

    std::unique_ptr<FilterExpr::Node> parseAll()
    {
        auto n = parseOr();
        if (tok_.kind != Token::End)
            throw DbError(ErrorCategory::Other, QStringLiteral("Unexpected text in filter: %1").arg(tok_.text));
        return n;
    }

private:
    using NodeP = std::unique_ptr<FilterExpr::Node>;
    bool isWord(const char* w) const
    {
        return tok_.kind == Token::Ident && tok_.text.compare(QLatin1String(w), Qt::CaseInsensitive) == 0;
    }
    void advance() { tok_ = lex_.next(); }

    NodeP parseOr()
    {
        NodeP left = parseAnd();
        while (isWord("or")) {
            advance();
            auto n = std::make_unique<FilterExpr::Node>();
            n->kind = FilterExpr::Node::Or;
            n->a = std::move(left);
            n->b = parseAnd();
            left = std::move(n);
        }
        return left;
    }
    NodeP parseAnd()
    {
        NodeP left = parseNot();
        while (isWord("and")) {
            advance();
            auto n = std::make_unique<FilterExpr::Node>();
            n->kind = FilterExpr::Node::And;
            n->a = std::move(left);
            n->b = parseNot();
            left = std::move(n);
        }
        return left;
    }
    NodeP parseNot()
    {
        if (isWord("not")) {
            advance();
            auto n = std::make_unique<FilterExpr::Node>();
            n->kind = FilterExpr::Node::Not;
            n->a = parseNot();
            return n;
        }
        if (tok_.kind == Token::LParen) {
            advance();
            NodeP inner = parseOr();
            if (tok_.kind != Token::RParen)
                throw DbError(ErrorCategory::Other, QStringLiteral("Missing ) in filter"));
            advance();
            return inner;
        }
        return parseCompare();
    }
    NodeP parseCompare()
    {
        if (tok_.kind != Token::Ident)
            throw DbError(ErrorCategory::Other, QStringLiteral("Field name expected in filter"));
        auto n = std::make_unique<FilterExpr::Node>();
        n->field = tok_.text;
        advance();
        if (isWord("is")) {
            advance();
            n->kind = FilterExpr::Node::IsNull;
            if (isWord("not")) {
                n->negate = true;
                advance();
            }
            if (!isWord("null"))
                throw DbError(ErrorCategory::Other, QStringLiteral("NULL expected in filter"));
            advance();
            return n;
        }
        if (isWord("like")) {
            n->op = QStringLiteral("like");
        } else if (tok_.kind == Token::Op) {
            n->op = tok_.text == QLatin1String("!=") ? QStringLiteral("<>") : tok_.text;
        } else {
            throw DbError(ErrorCategory::Other, QStringLiteral("Operator expected in filter"));
        }
        advance();
        if (tok_.kind == Token::String) {
            n->value = tok_.text;
        } else if (tok_.kind == Token::Number) {
            n->value = tok_.text.toDouble();
        } else if (isWord("true") || isWord("false")) {
            n->value = isWord("true");
        } else {
            throw DbError(ErrorCategory::Other, QStringLiteral("Value expected in filter"));
        }
        advance();
        return n;
    }

    Lexer lex_;
    Token tok_;
};

bool isNumberVariant(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Double:
    case QMetaType::Bool:
    case QMetaType::UInt:
    case QMetaType::ULongLong: return true;
    default: return false;
    }
}

int compareValues(const QVariant& a, const QVariant& b)
{
    if (isNumberVariant(b) || (isNumberVariant(a) && b.typeId() != QMetaType::QString)) {
        bool ok = true;
        double x = isNumberVariant(a) ? a.toDouble() : a.toString().trimmed().toDouble(&ok);
        if (!ok)
            x = 0;
        const double y = b.typeId() == QMetaType::Bool ? (b.toBool() ? 1 : 0) : b.toDouble();
        if (a.typeId() == QMetaType::Bool && b.typeId() == QMetaType::Bool)
            return (a.toBool() == b.toBool()) ? 0 : 1;
        if (a.typeId() == QMetaType::Bool)
            x = a.toBool() ? (y < 0 ? -1 : 1) : 0;
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    return QString::compare(ToAsciiDigits(a.toString()), ToAsciiDigits(b.toString()), Qt::CaseInsensitive);
}

bool evalNode(const FilterExpr::Node& n, const FilterExpr::Getter& get)
{
    switch (n.kind) {
    case FilterExpr::Node::And: return evalNode(*n.a, get) && evalNode(*n.b, get);
    case FilterExpr::Node::Or: return evalNode(*n.a, get) || evalNode(*n.b, get);
    case FilterExpr::Node::Not: return !evalNode(*n.a, get);
    case FilterExpr::Node::IsNull: {
        const QVariant v = get(n.field);
        return (v.isNull() || !v.isValid()) != n.negate;
    }
    case FilterExpr::Node::Compare: break;
    }
    const QVariant v = get(n.field);
    if (n.op == QLatin1String("like"))
        return likeMatch(v.toString(), n.value.toString());
    if (v.isNull() || !v.isValid())
        return false;
    const int c = compareValues(v, n.value);
    if (n.op == QLatin1String("="))
        return c == 0;
    if (n.op == QLatin1String("<>"))
        return c != 0;
    if (n.op == QLatin1String("<"))
        return c < 0;
    if (n.op == QLatin1String(">"))
        return c > 0;
    if (n.op == QLatin1String("<="))
        return c <= 0;
    if (n.op == QLatin1String(">="))
        return c >= 0;
    return false;
}

void collect(const FilterExpr::Node* n, std::vector<QString>& out)
{
    if (!n)
        return;
    if (!n->field.isEmpty())
        out.push_back(n->field);
    collect(n->a.get(), out);
    collect(n->b.get(), out);
}

} // namespace

std::unique_ptr<FilterExpr> FilterExpr::parse(const QString& text)
{
    std::unique_ptr<FilterExpr> e(new FilterExpr);
    e->root_ = Parser(text).parseAll();
    return e;
}

bool FilterExpr::eval(const Getter& get) const { return evalNode(*root_, get); }

std::vector<QString> FilterExpr::fields() const
{
    std::vector<QString> out;
    collect(root_.get(), out);
    return out;
}

bool likeMatch(const QString& text, const QString& pattern)
{
    // "%" any run, "_" one character (a code point, as the engines count), with backtracking
    // to the last "%"; a "%" or "_" in the text is an ordinary character
    // digits match in any script: "۱۲" finds "12" and "12" finds "۱۲"
    const QList<uint> t = ToAsciiDigits(text).toCaseFolded().toUcs4();
    const QList<uint> p = ToAsciiDigits(pattern).toCaseFolded().toUcs4();
    constexpr uint any = '%', one = '_';
    qsizetype ti = 0, pi = 0, starP = -1, starT = 0;
    while (ti < t.size()) {
        if (pi < p.size() && p[pi] == any) {
            starP = pi++;
            starT = ti;
        } else if (pi < p.size() && (p[pi] == one || p[pi] == t[ti])) {
            ++ti;
            ++pi;
        } else if (starP >= 0) {
            pi = starP + 1;
            ti = ++starT;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == any)
        ++pi;
    return pi == p.size();
}

} // namespace db
