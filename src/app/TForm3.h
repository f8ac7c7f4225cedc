#pragma once
// Picture help for Windows XP.

#include "app/TPictureHelpForm.h"

class TForm3 final : public TPictureHelpForm {
    Q_OBJECT
public:
    explicit TForm3(QWidget* parent = nullptr);
};

extern TForm3* Form3;
