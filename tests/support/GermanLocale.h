// A German locale (decimal comma, "." between thousands) for the running test, as a desktop
// session hands it to a program that calls setlocale(LC_ALL, "").
#pragma once

class GermanLocale {
public:
    // Built once per test program with localedef into a private folder, so the machine needs no
    // generated locales; the previous locale comes back at the end of the scope.
    GermanLocale();
    ~GermanLocale();
    GermanLocale(const GermanLocale&) = delete;
    GermanLocale& operator=(const GermanLocale&) = delete;

    // False when the locale could not be built or set; the reason went to the test's failures.
    bool active() const { return m_active; }

private:
    bool m_active = false;
};
