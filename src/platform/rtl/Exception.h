#pragma once

#include <QString>
#include <stdexcept>

// The base of every failure raised by the run-time layer and the program itself.
// Keeps the message as QString (what the user sees) and as UTF-8 for what().
class Exception : public std::runtime_error
{
public:
    explicit Exception(const QString& message);
    ~Exception() override;

    const QString& Message() const noexcept { return FMessage; }

private:
    QString FMessage;
};
