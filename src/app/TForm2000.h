#pragma once
// Picture help for Windows 2000.

#include "app/TPictureHelpForm.h"

class TForm2000 final : public TPictureHelpForm {
    Q_OBJECT
public:
    explicit TForm2000(QWidget* parent = nullptr);
};

extern TForm2000* Form2000;
