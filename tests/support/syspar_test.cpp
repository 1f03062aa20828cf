#include "support/syspar.h"

#include <gtest/gtest.h>

using tgm::SYSPAR;

TEST(Syspar, FormsFolderKeepsTheFolderPart) {
    SYSPAR s;
    s.set_forms_folder("/home/user/forms/a.fs");
    EXPECT_EQ(s.forms_folder(), "/home/user/forms/");
    s.set_forms_folder("/home/user/forms/*.*");
    EXPECT_EQ(s.forms_folder(), "/home/user/forms/");
    s.set_forms_folder("a.fs");
    EXPECT_EQ(s.forms_folder(), "");
}
