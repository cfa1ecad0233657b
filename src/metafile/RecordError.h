#pragma once

#include <stdexcept>

// Raised inside the players only. A record that does not hold what it claims
// is skipped; a broken record frame or a spent work budget ends the playing,
// and whatever was drawn before stays.
class RecordError : public std::runtime_error
{
public:
    enum class Scope { Record, Playback };

    RecordError(Scope scope, const char* what) : std::runtime_error(what), mScope(scope) {}

    Scope scope() const { return mScope; }
    bool endsPlayback() const { return mScope == Scope::Playback; }

    static RecordError skip(const char* what) { return RecordError(Scope::Record, what); }
    static RecordError stop(const char* what) { return RecordError(Scope::Playback, what); }

private:
    Scope mScope;
};
