#pragma once

#include <QMetaType>
#include <cstdint>
#include <cstring>

// Latest polled values of one device. A plain record, copied by value
// between threads; a fresh or reset record is all zero. The comment after
// each field names the OID position (index in the OID list) that fills it.
struct SNMPData
{
    static constexpr int kTextSize = 256;
    static constexpr int kTableRows = 100;

    char sys_text0[kTextSize];            // 0
    char sys_contact[kTextSize];          // 1
    char sys_name[kTextSize];             // 2
    char sys_location[kTextSize];         // 3
    char ups_model[kTextSize];            // 4
    char ups_name[kTextSize];             // 5
    char ups_fw_version[kTextSize];       // 6
    char ups_manufacture_date[kTextSize]; // 7
    char ups_serial[kTextSize];           // 8
    char agent_fw_version[kTextSize];     // 9

    int32_t output_status; // 26
    int32_t output_phase;  // 27
    int32_t output_vol;    // 28
    int32_t output_freq;   // 29
    int32_t output_load;   // 30

    int32_t batt_status;       // 10
    int32_t batt_running_time; // 11
    char batt_last_replace_date[kTextSize]; // 12

    int32_t batt_capacity;          // 13
    int32_t batt_vol;               // 14
    int32_t batt_temp;              // 15
    int32_t batt_remain_time;       // 16
    int32_t batt_replace_flag;      // 17
    int32_t batt_full_charge_vol;   // 18
    int32_t batt_current;           // 19
    int32_t input_phase;            // 20
    int32_t input_line_vol;         // 21
    int32_t input_line_vol_max;     // 22
    int32_t input_line_vol_min;     // 23
    int32_t input_freq;             // 24
    int32_t input_line_fail_reason; // 25

    int32_t table_col1[kTableRows]; // 33; element 0 also receives position 31
    int32_t table_col2[kTableRows]; // 34
    int32_t table_col3[kTableRows]; // 35
    int32_t table_col4[kTableRows]; // 36

    int32_t reserved1;

    int32_t raw_37;             // 37
    int32_t ups_max_input_volt; // 38
    int32_t ups_min_input_volt; // 39
    int32_t raw_40;             // 40
    int32_t raw_41;             // 41
    int32_t raw_42;             // 42
    int32_t raw_43;             // 43
    int32_t ups_low_batt_remain_time; // 44 and 54
    int32_t raw_45;             // 45
    int32_t raw_46;             // 46
    int32_t raw_47;             // 47
    int32_t ups_max_output_volt; // 49
    int32_t ups_min_output_volt; // 50
    int32_t ups_temp_alarm;      // 51
    int32_t ups_load_alarm;      // 52
    int32_t ups_low_batt_volt;   // 53

    int32_t reserved2;

    int32_t tp_batt_vol;         // 70
    int32_t tp_batt_capacity;    // 71
    int32_t tp_batt_remain_time; // 72
    int32_t tp_batt_cur;         // 73
    int32_t tp_batt_temp;        // 74
    int32_t tp_input_freq;       // 75
    int32_t tp_input_r_vol;      // 76
    int32_t tp_input_s_vol;      // 77
    int32_t tp_input_t_vol;      // 78
    int32_t tp_output_freq;      // 79
    int32_t tp_output_r_vol;     // 80
    int32_t tp_output_s_vol;     // 81
    int32_t tp_output_t_vol;     // 82
    int32_t tp_output_r_load;    // 83
    int32_t tp_output_s_load;    // 84
    int32_t tp_output_t_load;    // 85
    int32_t tp_bypass_freq;      // 86
    int32_t tp_bypass_r_vol;     // 87
    int32_t tp_bypass_s_vol;     // 88
    int32_t tp_bypass_t_vol;     // 89

    int32_t raw_90_117[28]; // 90 .. 117

    int32_t extra_table_col[12][kTableRows]; // 119 .. 130

    int32_t env_over_temp;  // 131
    int32_t env_under_temp; // 132
    int32_t env_over_humi;  // 133
    int32_t env_under_humi; // 134

    SNMPData() { reset(); }
    void reset() { std::memset(this, 0, sizeof(SNMPData)); }
};

Q_DECLARE_METATYPE(SNMPData)
