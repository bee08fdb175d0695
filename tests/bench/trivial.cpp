// A trivial Windows program: the baseline for the tool's start-up time.
int main() {
    return 0;
}
