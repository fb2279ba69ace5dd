#pragma once

#include "tessel/window/MDialog.h"

// A small light dialog that casts a computed drop shadow.
class ShadowDemoDialog : public Tessel::MDialog
{
public:
    static constexpr int kWidth = 300;
    static constexpr int kHeight = 160;

    void InitUI(Tessel::CRect client) override;
    int OnInitDialog() override;
};
