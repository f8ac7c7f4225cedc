#pragma once
// Picture help for Windows 8.

#include "app/TPictureHelpForm.h"

class TForm5 final : public TPictureHelpForm {
    Q_OBJECT
public:
    explicit TForm5(QWidget* parent = nullptr);
};

extern TForm5* Form5;
