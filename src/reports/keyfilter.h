#pragma once
#include <QValidator>

// Drops the double-quote character as it is typed or pasted (the files quote their text and
// cannot hold one); optionally turns letters into capitals as the entry line does.
class QuoteFilter : public QValidator {
public:
    explicit QuoteFilter(bool capitalise, QObject *parent = nullptr)
        : QValidator(parent), m_capitalise(capitalise)
    {
    }

    State validate(QString &input, int &pos) const override
    {
        for (qsizetype i = input.size() - 1; i >= 0; --i) {
            if (input[i] == u'"') {
                input.remove(i, 1);
                if (i < pos)
                    --pos;
            }
        }
        if (m_capitalise)
            input = input.toUpper();
        return Acceptable;
    }

private:
    bool m_capitalise;
};
