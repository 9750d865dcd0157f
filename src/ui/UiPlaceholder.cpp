namespace quillon::ui {
int UiPlaceholder() { return 0; }
}
