/* A C program built against the installed Lirvak, as its users build theirs:
 *     cc read_with_lirvak.c $(pkg-config --cflags --libs lirvak)
 *     read_with_lirvak [FOLDER]
 * prints the folder read, the record count and Precio of record 1 of the database
 * "muestra", in FOLDER or, without one, in the library's default folder. */
#include <lirvak.h>
#include <stdio.h>
#include <string.h>

int main(int argc, char** argv) {
  const char* name = "Precio";
  unsigned char field[LIRVAK_FIELD_NAME_BYTES];
  for (size_t i = 0; i < LIRVAK_FIELD_NAME_BYTES / 2; ++i) {
    field[2 * i] = (unsigned char)(i < strlen(name) ? name[i] : ' ');
    field[2 * i + 1] = 0;
  }
  if (argc > 1) Lirvak_set_folder(argv[1]);
  char* folder = Lirvak_get_folder();
  char* price = Get_datos_str("muestra", field, 1);
  if (folder == NULL || price == NULL) return 1;
  printf("folder %s\nrecords %lld\nPrecio %s\n", folder, (long long)GetRegi("muestra"), price);
  Lirvak_free_str(price);
  Lirvak_free_str(folder);
  return 0;
}
