// Scoped guards for paired calls: a closing action run on every way out of a scope, and a
// variable changed for the length of a scope. The draw bracket, paint brackets and the
// locks are built on them, so no opening call is left without its closing one.
#pragma once

#include <utility>

namespace zarvo {

// Runs Action when the scope ends, unless Dismiss was called.
template <class tAction> class tScopeExit {
  public:
    explicit tScopeExit(tAction action) : m_Action(std::move(action)) {}
    ~tScopeExit() {
        if (m_Armed)
            m_Action();
    }
    tScopeExit(const tScopeExit&) = delete;
    tScopeExit& operator=(const tScopeExit&) = delete;

    void Dismiss() { m_Armed = false; }

  private:
    tAction m_Action;
    bool m_Armed = true;
};

// Sets Variable to Value and puts the old value back when the scope ends.
template <class T> class tTemporaryChange {
  public:
    tTemporaryChange(T& variable, T value) : m_Variable(variable), m_Old(std::move(variable)) {
        m_Variable = std::move(value);
    }
    ~tTemporaryChange() { m_Variable = std::move(m_Old); }
    tTemporaryChange(const tTemporaryChange&) = delete;
    tTemporaryChange& operator=(const tTemporaryChange&) = delete;

  private:
    T& m_Variable;
    T m_Old;
};

} // namespace zarvo
