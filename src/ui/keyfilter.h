#pragma once
#include "ui/fieldkeys.h"

#include <QValidator>

// Drops the double-quote character as it is typed or pasted (the files quote their text and
// cannot hold one); optionally turns a to z into capitals as the entry line does, leaving other
// letters alone so the text keeps its length and the caret its place.
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
        if (m_capitalise) {
            for (QChar &c : input)
                c = fieldkeys::filter(fieldkeys::Rule::Capital, c);
        }
        return Acceptable;
    }

private:
    bool m_capitalise;
};
