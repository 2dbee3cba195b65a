// The receiver's I/O options count as known only once it reported them
// after the model was last cleared: zeros sent back as options would
// overwrite the receiver's own.
#include <gtest/gtest.h>

#include "model/CModel.h"

TEST(IoOptionsReported, KnownOnlyFromAReportUntilTheModelIsCleared)
{
    CModel model;
    IoOptions options = {};
    EXPECT_FALSE(model.GetIoOptions(options));

    IoOptions reported = {};
    reported.position = 0x02;
    reported.velocity = 0x02;
    reported.auxiliary = 0x08;
    model.SetIoOptions(reported);
    ASSERT_TRUE(model.GetIoOptions(options));
    EXPECT_EQ(0x02, options.position);
    EXPECT_EQ(0x08, options.auxiliary);

    model.ClearData(13);  // firmware only
    EXPECT_TRUE(model.GetIoOptions(options));
    model.ClearData(1);
    EXPECT_FALSE(model.GetIoOptions(options));
    EXPECT_EQ(0, options.position);
}
