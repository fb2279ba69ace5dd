// A program built without a public key: updates are off and no signature, however made, passes.
// Built without a public key: this definition stands in for the build option left empty.
#include "app/update/trust/UpdatePublicKey.h"

#include "app/update/trust/UpdateSignature.h"
#include "tests/app/update/TestUpdateSigner.h"

#include <gtest/gtest.h>

TEST(NoUpdateKey, UpdatesAreOffAndNothingVerifies)
{
    EXPECT_FALSE(UpdatesEnabled());
    unsigned char sha512[64] = {};
    const std::string signature = SignUpdateDigest(UpdateKind::Software, L"1.0.0.20", sha512, BuildKeySeed());
    ASSERT_EQ(signature.size(), 64u);
    EXPECT_FALSE(VerifyUpdateSignature(UpdateKind::Software, L"1.0.0.20", sha512, signature));
    EXPECT_FALSE(VerifyUpdateSignature(UpdateKind::Software, L"1.0.0.20", sha512, std::string(64, '\0')));
}

std::string UpdatePublicKeyHex()
{
    return "";
}
