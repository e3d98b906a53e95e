/*
    fixnachrichten.h

    definiert die festen Voice-Nachrichtem die bei
    administrativen anrufen zum Varnex 
    benoetigt werden

*/


#define MAX_FIXMSG_LEN 6
#define MAX_SAMPLE_COUNT 7

// typedef WORD u16;
// typedef unsigned char u8;

typedef  struct {
  u16 fixnachricht_id;
  u8  nachricht[MAX_FIXMSG_LEN];
} TFixNachricht;



const TFixNachricht fixnachrichten[MAX_SAMPLE_COUNT] = {
  {1,   {240, 51, 241, 0, 0, 0}},
  {2,   {240, 50, 101, 0, 0, 0}},
  {10,  {99, 0, 0, 0, 0, 0}},
  {4,   {52, 0, 0, 0, 0, 0}},
  {12345,{101, 0, 0, 0, 0, 0}},
  {7,   {0, 0, 0, 0, 0, 0}},
  {8,   {1, 2, 3, 4, 5, 0}}
};
