// The German test locale.
#include "tests/support/GermanLocale.h"

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>

#include "tests/support/TestLocales.h"

GermanLocale::GermanLocale() {
    setenv("LOCPATH", TestLocaleFolder("de_DE.UTF-8").c_str(), 1);
    m_active = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr && std::strcmp(localeconv()->decimal_point, ",") == 0;
    if (!m_active) ADD_FAILURE() << "the German locale could not be set";
}

GermanLocale::~GermanLocale() {
    std::setlocale(LC_ALL, "C");
    unsetenv("LOCPATH");
}
