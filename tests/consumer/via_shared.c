/* third.c's checks run from inside a shared object that links lfx86_64:
 * built against the static library, that needs it position-independent. */
int third_main(void);

int main(void)
{
    return third_main();
}
