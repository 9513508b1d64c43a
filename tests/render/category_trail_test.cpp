// The walk up the category tree in its three forms.
#include "render/category_trail.h"
#include "render/render_fixture.h"

using namespace orv;
using namespace orv::test;

TEST_F(RenderFixture, PathsOfNamesAndIds) {
    db.addItemUtf(0, "Directory", "dID=5,DirName='A',ParentDir=0");
    db.addItemUtf(0, "Directory", "dID=15,DirName='B',ParentDir=5");
    db.addItemUtf(0, "Directory", "dID=9,DirName='C',ParentDir=15");
    db.addItemUtf(0, "Directory", "dID=30,DirName='[私用库]',nType=11");
    db.addItemUtf(1, "Directory", "dID=2,DirName='P',ParentDir=0");
    EXPECT_EQ(render::CategoryPath(db, 0, 15), "\\A\\B\\");
    EXPECT_EQ(render::CategoryPath(db, 0, 0), "\\");
    EXPECT_EQ(render::CategoryPath(db, 1, 2), "\\[私用库]\\P\\");
    EXPECT_EQ(render::IdPath(db, 0, 15), "0\\5\\15\\");
    // "5\" is not taken as present in "15\9\".
    EXPECT_EQ(render::IdPath(db, 0, 9), "0\\5\\15\\9\\");
}

TEST_F(RenderFixture, LoopsInADamagedTreeEnd) {
    db.addItemUtf(0, "Directory", "dID=1,DirName='X',ParentDir=2");
    db.addItemUtf(0, "Directory", "dID=2,DirName='Y',ParentDir=1");
    EXPECT_EQ(render::BuildCategoryTrail(db, 0, "", 1),
              "<li><a  target=\"_blank\" href=\"r02\">Y</a></li><li><a  target=\"_blank\" href=\"r01\">X</a></li>");
    EXPECT_EQ(render::IdPath(db, 0, 1), "2\\1\\");
    const std::string path = render::CategoryPath(db, 0, 1);
    EXPECT_GE(path.size(), 51u);
    EXPECT_LT(path.size(), 80u);
}
