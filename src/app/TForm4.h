#pragma once
// Picture help for Windows 7.

#include "app/TPictureHelpForm.h"

class TForm4 final : public TPictureHelpForm {
    Q_OBJECT
public:
    explicit TForm4(QWidget* parent = nullptr);
};

extern TForm4* Form4;
