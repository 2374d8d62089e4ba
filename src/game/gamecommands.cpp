#include "shell/form1.h"

#include <QKeyEvent>

void Form1::PushButton3_Click() {}
void Form1::PushButton8_Click() {}
void Form1::UpdateScore() {}
void Form1::PushButton5_Click() {}
void Form1::PushButton7_Click() {}
void Form1::Form_KeyDown(QKeyEvent *) {}
void Form1::Text2_KeyPress(QKeyEvent *) {}
