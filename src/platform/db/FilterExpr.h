#pragma once
// Client-side filter expressions: f = 1, f <> 'x', f like '%x%', f is null,
// combined with and, or, not and parentheses. Text compares ignore case, and digits
// compare alike in any script (Persian, Arabic-Indic, ASCII).

#include <QString>
#include <QVariant>
#include <functional>
#include <memory>
#include <vector>

namespace db {

class FilterExpr {
public:
    // Throws DbError with a readable message when the text does not parse.
    static std::unique_ptr<FilterExpr> parse(const QString& text);

    using Getter = std::function<QVariant(const QString& field)>;
    bool eval(const Getter& get) const;
    // Names of the fields the expression reads.
    std::vector<QString> fields() const;

    struct Node;
    ~FilterExpr();

private:
    FilterExpr() = default;
    std::unique_ptr<Node> root_;
};

// SQL-like pattern match with % and _, ignoring case.
bool likeMatch(const QString& text, const QString& pattern);

} // namespace db
